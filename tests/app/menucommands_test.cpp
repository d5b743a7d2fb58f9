// Menu commands chosen while the main window waits for the prediction service.
#include "app/appform.h"

#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcription/transcriptiontesting.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

class MenuCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeAnswer slowCreate = FakePredictionService::starting("p1");
        slowCreate.delayMs = 400;
        service.scriptCreate({slowCreate});
        service.scriptPolls("p1", {FakePredictionService::processing("p1")});
        service.start();

        AppEnvironment environment;
        environment.programFile = QCoreApplication::applicationFilePath();
        environment.programFolder = folder.path();
        environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
        environment.endpoints = EndpointsFor(service);
        form = std::make_unique<TAppForm>(environment, desktop);
        form->FormCreate();
        form->TimerChecker->stop();
        form->TimerReplicate->setInterval(24 * 3600 * 1000);
        form->TimerElapsed->setInterval(24 * 3600 * 1000);
        form->show();
        form->Edit1->setText(QStringLiteral("r8_key"));
        form->Edit3->setText(QStringLiteral("https://files.example/talk.mp3"));
    }

    // Starts a conversion whose create request is still running when this returns.
    void startRequest()
    {
        QTest::mouseClick(form->ToolButtonConvert, Qt::LeftButton);
        ASSERT_TRUE(form->conversionJob()->requestRunning());
    }

    // Chooses item in menu with a click, as the user does.
    void choose(QMenu* menu, QAction* item)
    {
        menu->popup(form->mapToGlobal(QPoint(30, 30)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        const QPoint at = menu->actionGeometry(item).center();
        QTest::mouseMove(menu, at);
        QTest::mouseClick(menu, Qt::LeftButton, {}, at);
        EXPECT_FALSE(menu->isVisible());
    }

    QTemporaryDir folder;
    FakePredictionService service;
    RecordingDesktop desktop;
    std::unique_ptr<TAppForm> form;
};

TEST_F(MenuCommandsTest, SettingsChosenDuringARequestRunsWhenTheRequestEnds)
{
    const bool panelBefore = form->Panel7->isVisible();
    startRequest();
    choose(form->Conversion1, form->Settings1);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Panel7->isVisible(), panelBefore); // not yet

    ASSERT_TRUE(WaitFor([&] { return !form->conversionJob()->requestRunning(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Panel7->isVisible(), !panelBefore);
    EXPECT_EQ(form->Settings1->isChecked(), !panelBefore);
}

TEST_F(MenuCommandsTest, ExitChosenDuringARequestClosesTheWindowWhenTheRequestEnds)
{
    startRequest();
    choose(form->File1, form->Exit1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->isVisible());

    ASSERT_TRUE(WaitFor([&] { return !form->conversionJob()->requestRunning(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MenuCommandsTest, ConvertChosenDuringARequestIsNotLost)
{
    startRequest();
    choose(form->Conversion1, form->Translate1);
    ASSERT_TRUE(WaitFor([&] { return !form->conversionJob()->requestRunning(); }));
    // The chosen Convert starts its own create request once the first has ended.
    ASSERT_TRUE(WaitFor([&] {
        QCoreApplication::processEvents();
        return service.requests().size() >= 2;
    }));
    EXPECT_EQ(service.requests().at(1).path, "/v1/predictions");
    ASSERT_TRUE(WaitFor([&] { return !form->conversionJob()->requestRunning(); }));
}

} // namespace
