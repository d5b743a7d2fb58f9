// The save dialog's flow: the default suffix and the question before replacing a file.
#include "platform/qtdesktop.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>

namespace {

class ConfirmedSaveFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile existing(folder.filePath(QStringLiteral("subs.txt")));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    }

    // Runs the flow with the dialog's answers and the user's replies given in order.
    QString run(std::deque<QString> dialogAnswers, std::deque<bool> replies)
    {
        return ConfirmedSaveFile(
            [&] {
                ++dialogs;
                if (dialogAnswers.empty())
                    return QString();
                const QString answer = dialogAnswers.front();
                dialogAnswers.pop_front();
                return answer.isEmpty() ? QString() : folder.filePath(answer);
            },
            [&](const QString& path) {
                asked << path;
                if (replies.empty())
                    return false;
                const bool reply = replies.front();
                replies.pop_front();
                return reply;
            },
            QStringLiteral("txt"));
    }

    QTemporaryDir folder;
    int dialogs = 0;
    QStringList asked;
};

// "subs" as a native dialog returns it, without the suffix it will get: the user is asked
// about "subs.txt" before it is replaced.
TEST_F(ConfirmedSaveFileTest, ANameThatBecomesAnExistingFileIsReplacedOnlyWithConsent)
{
    EXPECT_EQ(run({"subs", ""}, {false}), QString());
    EXPECT_EQ(asked, QStringList({folder.filePath(QStringLiteral("subs.txt"))}));
    EXPECT_EQ(dialogs, 2); // "no" shows the dialog again; then cancelled

    asked.clear();
    EXPECT_EQ(run({"subs", "other"}, {false}), folder.filePath(QStringLiteral("other.txt")));
    EXPECT_EQ(asked.size(), 1);

    asked.clear();
    EXPECT_EQ(run({"subs"}, {true}), folder.filePath(QStringLiteral("subs.txt")));
    EXPECT_EQ(asked.size(), 1);
}

TEST_F(ConfirmedSaveFileTest, NewFilesAndNamesWithASuffixAreNotAsked)
{
    const struct {
        const char* typed;
        const char* chosen;
    } cases[] = {{"new", "new.txt"}, {"talk.vtt", "talk.vtt"}, {"subs.txt.srt", "subs.txt.srt"}};
    for (const auto& c : cases) {
        EXPECT_EQ(run({QLatin1String(c.typed)}, {}), folder.filePath(QLatin1String(c.chosen)));
    }
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(run({""}, {}), QString());
}

// The real dialog, typed into and accepted: the question comes from the program and "No"
// (its default) keeps the file.
TEST_F(ConfirmedSaveFileTest, TheRealDialogAsksBeforeReplacing)
{
    QFile existing(folder.filePath(QStringLiteral("subs.txt")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();

    QStringList questions;
    int dialogsShown = 0;
    QTimer driver;
    driver.setInterval(10);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            questions << box->text();
            box->defaultButton()->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (++dialogsShown == 1) {
                dialog->setDirectory(folder.path());
                dialog->selectFile(QStringLiteral("subs"));
                QMetaObject::invokeMethod(dialog, "accept");
            } else {
                dialog->reject();
            }
        }
    });
    driver.start();
    QtDesktop desktop;
    const QString chosen = desktop.chooseSaveFile({"TXT File|*.txt"}, QStringLiteral("txt"));
    driver.stop();

    EXPECT_EQ(chosen, QString());
    EXPECT_EQ(questions, QStringList({"subs.txt already exists.\nDo you want to replace it?"}));
    EXPECT_EQ(dialogsShown, 2);
    QFile kept(folder.filePath(QStringLiteral("subs.txt")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep"));
}

} // namespace
