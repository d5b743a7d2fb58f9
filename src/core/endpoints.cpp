#include "core/endpoints.h"

Endpoints Endpoints::compiledIn()
{
    Endpoints endpoints;
    endpoints.replicateApi = QUrl(QStringLiteral("https://api.replicate.com"));
    endpoints.replicateWeb = QUrl(QStringLiteral("https://replicate.com"));
    endpoints.makerWeb = QUrl(QStringLiteral("http://" PARLOTEXT_MAKER_WEB_HOST));
    endpoints.makerFiles = QUrl(QStringLiteral("https://" PARLOTEXT_MAKER_FILE_HOST));
    endpoints.makerServiceSecure = QUrl(QStringLiteral("https://" PARLOTEXT_MAKER_SERVICE_HOST));
    endpoints.makerServicePlain = QUrl(QStringLiteral("http://" PARLOTEXT_MAKER_SERVICE_HOST));
    return endpoints;
}

QUrl Endpoints::replicateTokenPage() const
{
    return JoinUrlPath(replicateWeb, QStringLiteral("/account/api-tokens"));
}

QUrl Endpoints::sampleAudio() const
{
    return JoinUrlPath(makerFiles, QStringLiteral("/temp/test.mp3"));
}

QUrl JoinUrlPath(const QUrl& base, const QString& path)
{
    QUrl url = base;
    QString basePath = url.path();
    while (basePath.endsWith(QLatin1Char('/')))
        basePath.chop(1);
    url.setPath(basePath + path);
    return url;
}
