#include "transcription/servicerequest.h"

#include "core/tlsconfiguration.h"

QByteArray HeaderSafe(const QString& value)
{
    QByteArray bytes = value.toUtf8();
    bytes.removeIf([](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    return bytes;
}

QNetworkRequest ServiceRequest(const Endpoints& endpoints, const QString& path,
                               const QString& apiKey)
{
    QNetworkRequest request(JoinUrlPath(endpoints.replicateApi, path));
    request.setRawHeader("Authorization", "Token " + HeaderSafe(apiKey));
    request.setSslConfiguration(TlsConfigurationFor(endpoints));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    return request;
}
