#pragma once

#include "core/endpoints.h"
#include "fakes/fakemakerservice.h"

#include <QString>

// Endpoints that lead the maker's service to the fake and every other host to a closed
// local port.
inline Endpoints EndpointsFor(const FakeMakerService& service)
{
    Endpoints endpoints;
    endpoints.replicateApi = service.closedBase();
    endpoints.replicateWeb = service.closedBase();
    endpoints.makerWeb = service.closedBase();
    endpoints.makerFiles = service.closedBase();
    endpoints.makerServiceSecure = service.secureBase();
    endpoints.makerServicePlain = service.plainBase();
    endpoints.extraCaCertificates = FakeHttpServer::testCaCertificates();
    return endpoints;
}

inline std::string utf8(const QString& text)
{
    return text.toStdString();
}
