#include "core/tlsconfiguration.h"

#include <QSslCertificate>

QSslConfiguration TlsConfigurationFor(const Endpoints& endpoints)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!endpoints.extraCaCertificates.isEmpty()) {
        auto authorities = configuration.caCertificates();
        authorities += QSslCertificate::fromData(endpoints.extraCaCertificates, QSsl::Pem);
        configuration.setCaCertificates(authorities);
    }
    return configuration;
}
