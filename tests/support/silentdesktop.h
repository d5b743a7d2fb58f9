#pragma once

#include "platform/desktop.h"

// A desktop that shows nothing and answers every question and dialog with "no": for the
// preview programs that put a window on screen for a look by eye.
class SilentDesktop final : public Desktop {
public:
    void showMessage(const QString&, const QString&, MessageIcon) override {}
    bool askQuestion(const QString&, const QString&, const QString&, const QString&) override
    {
        return false;
    }
    void beep() override {}
    bool openUrl(const QUrl&) override { return false; }
    QString chooseSaveFile(const QStringList&, const QString&) override { return {}; }
    QString chooseOpenFile(const QStringList&) override { return {}; }
    QStringList chooseOpenFiles(const QStringList&) override { return {}; }
    bool startDetached(const QString&, const QStringList&, const QString&) override
    {
        return false;
    }
};
