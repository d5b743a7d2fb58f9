// The queue in the main window: five files dropped, one Convert, the rows' states, the
// files beside their sources, a row opened in the pane, and Stop.
#include "appformtesting.h"
#include "queuetesting.h"

#include "transcription/conversionqueue.h"

#include <QAction>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

void dropFiles(TAppForm& form, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPointF at(form.width() / 2.0, form.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &drop);
}

QStringList rowTexts(const TAppForm& form)
{
    QStringList texts;
    for (int row = 0; row < form.QueueList->count(); ++row)
        texts.append(form.QueueList->item(row)->text());
    return texts;
}

class AppFormQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        service.start();
        form = MakeForm(folder, EndpointsFor(service), desktop);
        // The job's rhythm, shortened: the queue takes the window's timer intervals.
        form->TimerReplicate->setInterval(20);
        form->TimerElapsed->setInterval(20);
        form->queue()->options().clock = QuickJobClock();
        form->queue()->options().jobClock = QuickJobClock();
        form->show();
    }

    QTemporaryDir folder;
    ManyFilesService service;
    RecordingDesktop desktop;
    std::unique_ptr<TAppForm> form;
};

TEST_F(AppFormQueueTest, DropFivePressConvertFindTheSubtitlesBeside)
{
    const QDir dir(folder.path());
    const FiveFiles files(dir, service);
    EXPECT_FALSE(form->QueuePanel->isVisible());
    dropFiles(*form, files.paths);
    ASSERT_TRUE(form->QueuePanel->isVisible());
    EXPECT_EQ(rowTexts(*form), (QStringList{QStringLiteral("a-talk.mp3 \u2014 waiting"),
                                            QStringLiteral("b-missing.mp3 \u2014 waiting"),
                                            QStringLiteral("c-fails.mp3 \u2014 waiting"),
                                            QStringLiteral("d-throttled.mp3 \u2014 waiting"),
                                            QStringLiteral("e-talk.mp3 \u2014 waiting")}));
    // The same files dropped again add nothing.
    dropFiles(*form, files.paths.mid(0, 2));
    EXPECT_EQ(form->QueueList->count(), 5);

    form->Edit1->setText(QStringLiteral("r8_window_key"));
    form->RadioButton2->setChecked(true);
    form->ToolButtonConvert->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->queue()->isActive(); }, 20000));

    const QStringList texts = rowTexts(*form);
    EXPECT_EQ(texts.at(0), QStringLiteral("a-talk.mp3 \u2014 done"));
    EXPECT_TRUE(texts.at(1).startsWith(QStringLiteral("b-missing.mp3 \u2014 failed: ")));
    EXPECT_EQ(texts.at(2), QStringLiteral("c-fails.mp3 \u2014 failed: ") +
                               QString::fromLatin1(FiveFiles::kFailError));
    EXPECT_EQ(texts.at(3), QStringLiteral("d-throttled.mp3 \u2014 done"));
    EXPECT_EQ(texts.at(4), QStringLiteral("e-talk.mp3 \u2014 done"));
    for (const char* name : {"a-talk.srt", "d-throttled.srt", "e-talk.srt"})
        EXPECT_TRUE(ReadFile(dir.filePath(QString::fromLatin1(name))).contains("Words of")) << name;
    EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Queue: 3 of 5 converted"));
    // No box for a queued file: their failures are in their rows.
    EXPECT_TRUE(desktop.messages.isEmpty());

    // A converted row opens in the pane.
    form->QueueList->setCurrentRow(3);
    ASSERT_TRUE(form->QueueOpen->isEnabled());
    form->QueueOpen->click();
    EXPECT_TRUE(
        form->MemoReplicate->toPlainText().contains(QStringLiteral("Words of d-throttled.mp3")));

    // Cleared, the queue hands Convert back to the address field.
    form->QueueClear->click();
    EXPECT_EQ(form->QueueList->count(), 0);
    EXPECT_FALSE(form->QueuePanel->isVisible());
}

TEST_F(AppFormQueueTest, LoadingSeveralFilesFillsTheQueueAndOneFillsTheAddressField)
{
    const QDir dir(folder.path());
    const QString one = MakeAudioFile(dir, QStringLiteral("one.mp3"));
    const QString two = MakeAudioFile(dir, QStringLiteral("two.mp3"));
    const QString three = MakeAudioFile(dir, QStringLiteral("three.mp3"));
    const QString single = MakeAudioFile(dir, QStringLiteral("single.mp3"));
    form->Edit3->setText(QStringLiteral("https://example.org/kept.mp3"));

    desktop.openFilesDialogAnswers.push_back({one, two});
    form->Load1->trigger();
    ASSERT_EQ(desktop.openFilesDialogFilters.size(), 1);
    EXPECT_EQ(desktop.openFilesDialogFilters.at(0), TAppForm::LoadFileFilter());
    EXPECT_TRUE(desktop.openDialogFilters.isEmpty()); // never the one-file dialog
    ASSERT_TRUE(form->QueuePanel->isVisible());
    EXPECT_EQ(rowTexts(*form), (QStringList{QStringLiteral("one.mp3 \u2014 waiting"),
                                            QStringLiteral("two.mp3 \u2014 waiting")}));
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("https://example.org/kept.mp3"));

    // As with a drop, a file already queued is not queued twice.
    desktop.openFilesDialogAnswers.push_back({two, three});
    form->Load1->trigger();
    EXPECT_EQ(rowTexts(*form), (QStringList{QStringLiteral("one.mp3 \u2014 waiting"),
                                            QStringLiteral("two.mp3 \u2014 waiting"),
                                            QStringLiteral("three.mp3 \u2014 waiting")}));

    // One file goes into the address field, and a cancelled dialog changes nothing.
    desktop.openFilesDialogAnswers.push_back({single});
    form->Load1->trigger();
    EXPECT_EQ(form->Edit3->text(), single);
    form->Load1->trigger();
    EXPECT_EQ(form->Edit3->text(), single);
    EXPECT_EQ(form->QueueList->count(), 3);

    // The queue filled by Load runs on Convert like a dropped one.
    form->Edit1->setText(QStringLiteral("r8_window_key"));
    form->ToolButtonConvert->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->queue()->isActive(); }, 20000));
    EXPECT_EQ(rowTexts(*form).filter(QStringLiteral("\u2014 done")).size(), 3);
    for (const char* name : {"one.vtt", "two.vtt", "three.vtt"})
        EXPECT_TRUE(ReadFile(dir.filePath(QString::fromLatin1(name))).contains("Words of")) << name;
    EXPECT_EQ(service.acceptedCreates("single.mp3"), 0);
}

TEST_F(AppFormQueueTest, WithoutAKeyNothingIsSent)
{
    const QDir dir(folder.path());
    dropFiles(*form, {MakeAudioFile(dir, QStringLiteral("x.mp3")),
                      MakeAudioFile(dir, QStringLiteral("y.mp3"))});
    form->Edit1->setText(QStringLiteral("   "));
    form->ToolButtonConvert->click();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages.at(0).text.startsWith(
        QStringLiteral("Please enter your credentials for ")));
    EXPECT_TRUE(form->Panel7->isVisibleTo(form.get()));
    EXPECT_FALSE(form->queue()->isActive());
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(AppFormQueueTest, StopCancelsTheRunningRowsAndLeavesTheRestWaiting)
{
    const QDir dir(folder.path());
    ManyFilesService::Script hang;
    hang.end = "hang";
    QStringList paths;
    for (int i = 1; i <= 4; ++i) {
        const QString name = QStringLiteral("long%1.mp3").arg(i);
        service.script(name.toStdString(), hang);
        paths.append(MakeAudioFile(dir, name));
    }
    form->AddToQueue1->setVisible(true);
    desktop.openFilesDialogAnswers.push_back(paths);
    form->AddToQueue1->trigger();
    ASSERT_EQ(form->QueueList->count(), 4);
    form->Edit1->setText(QStringLiteral("r8_window_key"));
    form->ToolButtonConvert->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return rowTexts(*form).filter(QStringLiteral("processing")).size() == 3 &&
                   form->queue()->runningCount() == 3 && service.requests().size() >= 6;
        },
        10000));
    EXPECT_TRUE(form->QueueStop->isEnabled());
    form->QueueStop->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->queue()->runningCount() == 0; }, 10000));
    const QStringList texts = rowTexts(*form);
    EXPECT_EQ(texts.filter(QStringLiteral("canceled")).size(), 3);
    EXPECT_EQ(texts.at(3), QStringLiteral("long4.mp3 \u2014 waiting"));
    EXPECT_EQ(service.canceledPredictions().size(), 3u);
}

TEST_F(AppFormQueueTest, EveryControlHasAnAccessibleName)
{
    for (QWidget* widget :
         {static_cast<QWidget*>(form->QueueList), static_cast<QWidget*>(form->QueueOpen),
          static_cast<QWidget*>(form->QueueStop), static_cast<QWidget*>(form->QueueClear)})
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
}

} // namespace
