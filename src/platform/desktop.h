#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

enum class MessageIcon { Information, Warning, Error };

// What the program asks of the desktop around it: message boxes, dialogs, the beep,
// opening pages and files, starting other programs. Windows and rules receive one of
// these from outside, so that tests replace it and nothing modal ever blocks a test.
class Desktop {
public:
    virtual ~Desktop() = default;

    // A modal box with one OK button.
    virtual void showMessage(const QString& title, const QString& text, MessageIcon icon) = 0;
    // A modal question; true when the user answered with the yes button.
    virtual bool askQuestion(const QString& title, const QString& text, const QString& yesText,
                             const QString& noText) = 0;
    virtual void beep() = 0;
    // Opens a web page, or a local file in its default handler. False when nothing opened it.
    virtual bool openUrl(const QUrl& url) = 0;
    // The save dialog; the chosen file or an empty string when the user cancelled. The
    // dialog asks before overwriting. filters are "Name|*.ext" pairs, the first preselected.
    virtual QString chooseSaveFile(const QStringList& filters, const QString& defaultSuffix) = 0;
    // The open dialog; the chosen file or an empty string.
    virtual QString chooseOpenFile(const QStringList& filters) = 0;
    // The open dialog with several files allowed; the chosen files, none when cancelled.
    virtual QStringList chooseOpenFiles(const QStringList& filters) = 0;
    // Starts a program detached from this one, with no window of its own.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingFolder) = 0;
};
