#include "about/aboutrules.h"

#include <QDir>

QString MakerWebAddress(const QUrl& makerWeb)
{
    const int port = makerWeb.port();
    return port < 0 ? makerWeb.host() : makerWeb.host() + QLatin1Char(':') + QString::number(port);
}

QUrl MakerHomePage(const QUrl& makerWeb)
{
    return QUrl(QStringLiteral("http://") + MakerWebAddress(makerWeb) + QLatin1Char('/'));
}

QUrl CreditsPage(const QUrl& makerWeb)
{
    return QUrl(QStringLiteral("https://") + MakerWebAddress(makerWeb) +
                QStringLiteral("/blog/credits-and-acknowledgements/"));
}

QUrl UninstallPage(const QUrl& makerWeb)
{
    return QUrl(QStringLiteral("http://") + MakerWebAddress(makerWeb) +
                QStringLiteral("/blog/how-to-uninstall-quillon-software/"));
}

QString LicenseFile(const QString& programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("license.txt"));
}

QString FormatOneString(const QString& format, const QString& argument)
{
    const qsizetype at = format.indexOf(QStringLiteral("%s"));
    if (at < 0)
        return format;
    QString result = format;
    result.replace(at, 2, argument);
    return result;
}

bool PopupRepeatGuard::shouldShow(const void* button, const void* menu, quint32 now)
{
    if (button == m_lastButton && menu == m_lastMenu && m_lastButton &&
        quint32(now - m_closedAt) < RepeatWindowMs) {
        m_lastButton = nullptr;
        m_lastMenu = nullptr;
        return false;
    }
    return true;
}

void PopupRepeatGuard::menuClosed(const void* button, const void* menu, quint32 now)
{
    m_lastButton = button;
    m_lastMenu = menu;
    m_closedAt = now;
}
