#pragma once

#include "core/endpoints.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

// A request to the prediction service's API at the path, carrying the key: the service's
// TLS settings, and redirects kept on the service's own origin so that the key never
// travels to another host. Every request of the service's clients starts here.
QNetworkRequest ServiceRequest(const Endpoints& endpoints, const QString& path,
                               const QString& apiKey);

// A header value with line breaks and other control characters removed: they would end
// the header and start another one of the value's making.
QByteArray HeaderSafe(const QString& value);
