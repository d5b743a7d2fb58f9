#pragma once

#include "core/endpoints.h"
#include "fakes/fakepredictionservice.h"

#include <QTest>

// Endpoints whose prediction service is the fake, trusted through the test authority.
inline Endpoints EndpointsFor(const FakePredictionService& service)
{
    Endpoints endpoints = Endpoints::compiledIn();
    endpoints.replicateApi = service.baseUrl();
    endpoints.extraCaCertificates = FakePredictionService::testCaCertificates();
    return endpoints;
}

// Runs the event loop until the condition holds; false after ten seconds without it.
template <typename Condition> bool WaitFor(Condition condition)
{
    return QTest::qWaitFor(condition, 10000);
}
