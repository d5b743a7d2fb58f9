#pragma once

#include "platform/desktop.h"

class QWidget;

// The real desktop: Qt's message boxes and dialogs, the system beep, the default handlers.
class QtDesktop final : public Desktop {
public:
    void showMessage(const QString& title, const QString& text, MessageIcon icon) override;
    bool askQuestion(const QString& title, const QString& text, const QString& yesText,
                     const QString& noText) override;
    void beep() override;
    bool openUrl(const QUrl& url) override;
    QString chooseSaveFile(const QStringList& filters, const QString& defaultSuffix) override;
    QString chooseOpenFile(const QStringList& filters) override;
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingFolder) override;
};

// The filter text of a Qt file dialog for "Name|*.ext" pairs.
QString QtFileDialogFilter(const QStringList& filters);
