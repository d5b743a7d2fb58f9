#pragma once

#include <QString>
#include <QUrl>

// The maker's web address as the about window shows it: the host of makerWeb, with its
// port when one is given ("www.example.com", "127.0.0.1:8080").
QString MakerWebAddress(const QUrl& makerWeb);
// The link label's target and hint: "http://" + address + "/".
QUrl MakerHomePage(const QUrl& makerWeb);
// The acknowledgements page (secure) and the uninstall help page (plain).
QUrl CreditsPage(const QUrl& makerWeb);
QUrl UninstallPage(const QUrl& makerWeb);
// The licence document beside the program.
QString LicenseFile(const QString& programFolder);

// format with its first "%s" replaced by argument; format unchanged when it has none.
QString FormatOneString(const QString& format, const QString& argument);

// Keeps a click that closes a pop-up menu from opening it again: the click that dismisses
// the menu reaches its button right after the menu has closed. Tick counts are
// milliseconds that wrap around, compared as unsigned differences.
class PopupRepeatGuard {
public:
    static constexpr quint32 RepeatWindowMs = 100;

    // False, and forgets the last menu, when the same button and menu closed fewer than
    // RepeatWindowMs ago; true when the menu should be shown.
    bool shouldShow(const void* button, const void* menu, quint32 now);
    // Records that the menu shown under button has just closed.
    void menuClosed(const void* button, const void* menu, quint32 now);

private:
    const void* m_lastButton = nullptr;
    const void* m_lastMenu = nullptr;
    quint32 m_closedAt = 0;
};
