#pragma once

#include "platform/desktop.h"

#include <QList>

#include <deque>
#include <functional>

// A desktop for tests: it records every message, beep, opened address and started program,
// and answers questions and dialogs from scripted answers instead of waiting for a user.
class RecordingDesktop final : public Desktop {
public:
    struct Message {
        QString title;
        QString text;
        MessageIcon icon;
    };
    struct Question {
        QString title;
        QString text;
        QString yesText;
        QString noText;
    };
    struct StartedProgram {
        QString program;
        QStringList arguments;
        QString workingFolder;
    };

    void showMessage(const QString& title, const QString& text, MessageIcon icon) override;
    bool askQuestion(const QString& title, const QString& text, const QString& yesText,
                     const QString& noText) override;
    void beep() override { ++beeps; }
    bool openUrl(const QUrl& url) override;
    QString chooseSaveFile(const QStringList& filters, const QString& defaultSuffix) override;
    QString chooseOpenFile(const QStringList& filters) override;
    QStringList chooseOpenFiles(const QStringList& filters) override;
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingFolder) override;

    QList<Message> messages;
    QList<Question> questions;
    std::deque<bool> questionAnswers; // answered in order; "no" when empty
    int beeps = 0;
    QList<QUrl> openedUrls;
    bool openUrlResult = true;
    QList<QStringList> saveDialogFilters;
    QList<QString> saveDialogSuffixes;
    std::deque<QString> saveDialogAnswers; // cancelled when empty
    QList<QStringList> openDialogFilters;
    std::deque<QString> openDialogAnswers;
    // The open dialog that allows several files: its filters, and its answers in order
    // (cancelled when empty).
    QList<QStringList> openFilesDialogFilters;
    std::deque<QStringList> openFilesDialogAnswers;
    QList<StartedProgram> startedPrograms;
    bool startDetachedResult = true;
    // Runs while a message is "shown", as a modal box's own event loop would.
    std::function<void(const Message&)> onMessage;
};
