#pragma once

#include "platform/desktop.h"

#include <functional>

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
    QStringList chooseOpenFiles(const QStringList& filters) override;
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingFolder) override;
};

// The filter text of a Qt file dialog for "Name|*.ext" pairs.
QString QtFileDialogFilter(const QStringList& filters);

// The save dialog's flow around the dialog itself. A name without a dot gets the default
// suffix; when the resulting file exists, the user is asked (allowReplace) before it is
// chosen, and a "no" shows the dialog again. So an existing file is never replaced without
// consent, even where the dialog (a native one) adds the suffix only after it returns, past
// its own overwrite question. Empty when the user cancelled the dialog.
QString ConfirmedSaveFile(const std::function<QString()>& showDialog,
                          const std::function<bool(const QString&)>& allowReplace,
                          const QString& defaultSuffix);
