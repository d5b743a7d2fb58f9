#pragma once

#include "core/endpoints.h"

#include <QSslConfiguration>

// The TLS settings of every secure request: the system's authorities, plus the extra ones
// that the endpoints name (tests trust their own authority this way). Peers are always
// verified.
QSslConfiguration TlsConfigurationFor(const Endpoints& endpoints);
