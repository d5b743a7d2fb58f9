#include "app/appform.h"
#include "app/parlotextstyle.h"

#include "platform/inifile.h"
#include "support/plaintextlabels.h"
#include "support/recordingdesktop.h"
#include "support/unprivileged.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A main window started the way the program starts it, over a temporary program folder
// and application-data folder, with every host on the loopback interface.
class AppFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(programFolder());
        QDir().mkpath(m_root.filePath(QStringLiteral("appdata")));
    }

    QString programFolder() const { return m_root.filePath(QStringLiteral("program")); }
    QString settingsPath() const { return programFolder() + QStringLiteral("/settings.ini"); }

    void writeSettings(const QByteArray& bytes) const
    {
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QString storedKey() const
    {
        return IniFile(settingsPath())
            .readString(QStringLiteral("Settings"), QStringLiteral("Key"))
            .value_or(QStringLiteral("<none>"));
    }

    TAppForm& start()
    {
        AppEnvironment environment;
        environment.programFile = QCoreApplication::applicationFilePath();
        environment.programFolder = programFolder();
        environment.appDataBase = m_root.filePath(QStringLiteral("appdata"));
        environment.endpoints = Endpoints::compiledIn();
        environment.endpoints.replicateWeb = QUrl(QStringLiteral("https://replicate.test"));
        environment.endpoints.makerWeb = QUrl(QStringLiteral("http://www.maker.test"));
        environment.endpoints.makerServiceSecure = QUrl(QStringLiteral("https://127.0.0.1:9"));
        environment.endpoints.makerServicePlain = QUrl(QStringLiteral("http://127.0.0.1:9"));
        m_form = std::make_unique<TAppForm>(environment, m_desktop);
        m_form->FormCreate();
        // The update check runs on its own timer and is tested on its own.
        m_form->TimerChecker->stop();
        return *m_form;
    }

    QTemporaryDir m_root;
    RecordingDesktop m_desktop;
    std::unique_ptr<TAppForm> m_form;
};

TEST_F(AppFormTest, CaptionAndClientSize)
{
    TAppForm& form = start();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("QUILLON - Parlotext"));
    form.show();
    EXPECT_EQ(form.width(), 684);
    EXPECT_EQ(form.height() - form.menuBar()->height(), 493);
    EXPECT_EQ(form.ToolBar1->height(), 85);
    EXPECT_EQ(form.Panel7->height(), 94);
    EXPECT_EQ(form.MemoCMD->height(), 58);
    EXPECT_EQ(form.Label1->width(), 100);
    EXPECT_EQ(form.Label2->width(), 100);
    EXPECT_EQ(form.Button4->width(), 183);
    EXPECT_EQ(form.ToolButtonConvert->size(), QSize(71, 84));
    EXPECT_EQ(form.ToolButtonConvert->iconSize(), QSize(64, 64));
}

// The program runs under its own style, which only changes when two pictures are read: the
// window looks the same, pixel for pixel, as under the platform's style.
TEST_F(AppFormTest, LooksTheSameUnderTheProgramsStyle)
{
    const auto grabbed = [this] {
        TAppForm& form = start();
        form.show();
        const QImage image = form.grab().toImage();
        m_form.reset();
        return image;
    };
    const QImage underPlatformStyle = grabbed();
    const QString platformStyle = QApplication::style()->name();
    QApplication::setStyle(new ParlotextStyle);
    const auto restoreStyle = qScopeGuard([&] { QApplication::setStyle(platformStyle); });
    ASSERT_TRUE(qobject_cast<ParlotextStyle*>(QApplication::style()));
    const QImage underProgramStyle = grabbed();
    ASSERT_FALSE(underPlatformStyle.isNull());
    EXPECT_EQ(underProgramStyle, underPlatformStyle);
}

TEST_F(AppFormTest, MenusHoldTheirItemsInOrderWithSeparators)
{
    TAppForm& form = start();
    const auto describe = [](QMenu* menu) {
        QStringList items;
        for (QAction* action : menu->actions()) {
            QString item = action->isSeparator() ? QStringLiteral("-") : action->text();
            if (!action->isVisible())
                item += QStringLiteral(" (hidden)");
            if (action->isCheckable())
                item += action->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]");
            // Qt reports hidden items as disabled as well; only a shown item's state counts.
            if (action->isVisible() && !action->isEnabled())
                item += QStringLiteral(" (disabled)");
            items << item;
        }
        return items;
    };
    EXPECT_EQ(
        describe(form.File1),
        (QStringList{QStringLiteral("Load Audio File..."), QStringLiteral("Add Files to Queue..."),
                     QStringLiteral("Save File..."), QStringLiteral("-"), QStringLiteral("Exit")}));
    EXPECT_EQ(
        describe(form.Conversion1),
        (QStringList{QStringLiteral("Settings [ ]"), QStringLiteral("-"), QStringLiteral("Record"),
                     QStringLiteral("Convert"), QStringLiteral("Stop (hidden)")}));
    EXPECT_EQ(describe(form.Options1),
              (QStringList{QStringLiteral("Convert Video to Audio Before Uploading [x]"),
                           QStringLiteral("Model")}));
    EXPECT_TRUE(form.Options1->menuAction()->isVisible());
    EXPECT_EQ(describe(form.Help1),
              (QStringList{QStringLiteral("Online Help"), QStringLiteral("-"),
                           QStringLiteral("Update Notifications [x] (disabled)"),
                           QStringLiteral("-"), QStringLiteral("Language... (hidden)"),
                           QStringLiteral("Send &Feedback..."), QStringLiteral("&About...")}));
    EXPECT_EQ(form.Help2->shortcut(), QKeySequence(Qt::Key_F1));
    QStringList menuTitles;
    for (QAction* action : form.menuBar()->actions())
        menuTitles << action->text();
    EXPECT_EQ(menuTitles, (QStringList{QStringLiteral("&File"), QStringLiteral("&Conversion"),
                                       QStringLiteral("&Options"), QStringLiteral("&Help")}));
}

TEST_F(AppFormTest, ShownAndHiddenControls)
{
    TAppForm& form = start();
    form.show();
    struct Expectation {
        QWidget* widget;
        const char* name;
        bool shown;
    };
    const Expectation expectations[] = {
        {form.ToolButtonConvert, "Convert", true},
        {form.ToolButton6, "Stop", false},
        {form.ToolButton1, "Load", true},
        {form.ToolButton2, "Save", true},
        {form.ToolButton3, "Settings", true},
        {form.ToolButton4, "Record", true},
        {form.Button5, "Load...", true},
        {form.Panel7, "credentials", false},
        {form.MemoCMD, "console", false},
        {form.MemoReplicate, "result", true},
        {form.Edit3, "address", true},
        {form.RadioButton1, "VTT", true},
    };
    for (const auto& expectation : expectations)
        EXPECT_EQ(expectation.widget->isVisible(), expectation.shown) << expectation.name;
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_EQ(form.PageControl2->count(), 1);
    EXPECT_EQ(form.PageControl2->tabText(0), QStringLiteral("Replicate API"));
    EXPECT_EQ(form.PageControl1->tabText(0), QStringLiteral("Settings"));
    EXPECT_EQ(form.MemoCMD->toPlainText(), QStringLiteral("MemoCMD"));
    EXPECT_EQ(form.Edit3->text(), QStringLiteral("https://files.quillon.example/temp/test.mp3"));
}

TEST_F(AppFormTest, ToolbarButtonsCarryCaptionsAndHints)
{
    TAppForm& form = start();
    const std::tuple<QToolButton*, const char*, const char*> buttons[] = {
        {form.ToolButtonConvert, "Convert", "Convert"},
        {form.ToolButton6, "Stop", "Stop"},
        {form.ToolButton1, "Load", "Load Audio File"},
        {form.ToolButton2, "Save", "Save Text File"},
        {form.ToolButton3, "Settings", "Settings"},
        {form.ToolButton4, "Record", "Record"},
    };
    for (const auto& [button, caption, hint] : buttons) {
        EXPECT_EQ(button->text(), QLatin1String(caption));
        EXPECT_EQ(button->toolTip(), QLatin1String(hint));
    }
}

TEST_F(AppFormTest, ToolbarButtonsClickTheirMenuItemsEvenHiddenOnes)
{
    TAppForm& form = start();
    const std::pair<QToolButton*, QAction*> forwards[] = {
        {form.ToolButton1, form.Load1},
        {form.ToolButton2, form.Save1},
        {form.ToolButton4, form.Record1},
        {form.ToolButtonConvert, form.Translate1},
    };
    for (const auto& [button, item] : forwards) {
        QSignalSpy triggered(item, &QAction::triggered);
        button->click();
        EXPECT_EQ(triggered.count(), 1) << item->text().toStdString();
    }
    QSignalSpy loadTriggered(form.Load1, &QAction::triggered);
    form.Button5->click();
    EXPECT_EQ(loadTriggered.count(), 1);
}

TEST_F(AppFormTest, SettingsTogglesThePanelAndItsCheckMarkTogether)
{
    TAppForm& form = start();
    form.show();
    for (const bool expected : {true, false, true}) {
        form.Settings1->trigger();
        EXPECT_EQ(form.Settings1->isChecked(), expected);
        EXPECT_EQ(form.Panel7->isVisible(), expected);
    }
    // The toolbar button goes through the same item.
    form.ToolButton3->click();
    EXPECT_FALSE(form.Settings1->isChecked());
    EXPECT_FALSE(form.Panel7->isVisible());
}

TEST_F(AppFormTest, FocusReplicateAPIKeyOpensThePanelWithTheFocusInTheKeyField)
{
    TAppForm& form = start();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.FocusReplicateAPIKey();
    EXPECT_TRUE(form.Settings1->isChecked());
    EXPECT_TRUE(form.Panel7->isVisible());
    EXPECT_TRUE(form.Edit1->hasFocus());
    form.FocusReplicateAudio();
    EXPECT_TRUE(form.Edit3->hasFocus());
    // Toggling Settings after the credentials message closes the panel again.
    form.Settings1->trigger();
    EXPECT_FALSE(form.Panel7->isVisible());
}

TEST_F(AppFormTest, EveryKeystrokeInTheKeyFieldReachesTheSettingsFile)
{
    TAppForm& form = start();
    form.show();
    form.FocusReplicateAPIKey();
    QString typed;
    for (const QChar c : QStringLiteral("r8_k ")) {
        QTest::keyClicks(form.Edit1, QString(c));
        typed += c;
        QTRY_COMPARE(storedKey(), typed);
    }
    // Trailing blanks are stored untrimmed.
    EXPECT_EQ(storedKey(), QStringLiteral("r8_k "));
    QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    QTRY_COMPARE(storedKey(), QStringLiteral("r8_k"));
}

TEST_F(AppFormTest, TypingNeverWaitsForABusySettingsFileAndTheLastKeystrokeIsKept)
{
    writeSettings("[Settings]\nLanguage=English.lang.txt\n");
    TAppForm& form = start();
    form.show();
    form.FocusReplicateAPIKey();
    {
        // Another program holds the file, as a slow disk would.
        QLockFile busy(settingsPath() + QStringLiteral(".lock"));
        ASSERT_TRUE(busy.lock());
        QTest::keyClicks(form.Edit1, QStringLiteral("r8_abc"));
        EXPECT_EQ(form.Edit1->text(), QStringLiteral("r8_abc"));
        EXPECT_TRUE(m_desktop.messages.isEmpty());
        EXPECT_EQ(storedKey(), QStringLiteral("<none>"));
    }
    // The window goes before the file is free for long: what was typed is written all the same.
    m_form.reset();
    EXPECT_EQ(storedKey(), QStringLiteral("r8_abc"));
    EXPECT_EQ(
        IniFile(settingsPath()).readString(QStringLiteral("Settings"), QStringLiteral("Language")),
        QStringLiteral("English.lang.txt"));
    EXPECT_TRUE(m_desktop.messages.isEmpty());
}

struct PastedKeyCase {
    const char* name;
    const char* pasted;
    const char* kept;
};

class KeyFieldPasteTest : public AppFormTest,
                          public ::testing::WithParamInterface<PastedKeyCase> {};

TEST_P(KeyFieldPasteTest, LineBreaksNeverReachTheFieldNorTheSettingsFile)
{
    const PastedKeyCase& c = GetParam();
    writeSettings("[Settings]\nLanguage=English.lang.txt\n");
    TAppForm& form = start();
    form.show();
    form.FocusReplicateAPIKey();
    QTest::keyClicks(form.Edit1, QStringLiteral("r8_"));
    QApplication::clipboard()->setText(QString::fromLatin1(c.pasted));
    form.Edit1->paste();
    EXPECT_EQ(form.Edit1->text(), QString::fromLatin1(c.kept));
    EXPECT_EQ(form.Edit1->cursorPosition(), form.Edit1->text().size());
    m_form.reset(); // everything typed is on the disk

    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes, QByteArray("[Settings]\nLanguage=English.lang.txt\nKey=") + c.kept + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeyFieldPasteTest,
    ::testing::Values(PastedKeyCase{"TrailingLineFeed", "abc\n", "r8_abc"},
                      PastedKeyCase{"TrailingCrLf", "abc\r\n", "r8_abc"},
                      PastedKeyCase{"BrokenInTheMiddle", "ab\r\ncd", "r8_abcd"},
                      PastedKeyCase{"LoneCarriageReturn", "ab\rcd", "r8_abcd"},
                      PastedKeyCase{"AStrayLanguageLine", "abc\nLanguage=Evil.lang.txt\n",
                                    "r8_abcLanguage=Evil.lang.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppFormTest, AKeyWithALineBreakSetByTheProgramIsStoredWithoutIt)
{
    TAppForm& form = start();
    form.Edit1->setText(QStringLiteral("r8_one\ntwo"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("r8_onetwo"));
    m_form.reset();
    EXPECT_EQ(storedKey(), QStringLiteral("r8_onetwo"));
}

TEST_F(AppFormTest, TheUpdateCheckTimerStartsEvenWhenTheLanguageCannotBeLoaded)
{
    const QString languages = programFolder() + QStringLiteral("/Languages");
    ASSERT_TRUE(QDir().mkpath(languages));
    const QString german = languages + QStringLiteral("/German.lang.txt");
    {
        QFile file(german);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{Yes}Ja\n");
    }
    writeSettings("[Settings]\nLanguage=German.lang.txt\n");
    ASSERT_TRUE(QFile::setPermissions(german, QFileDevice::Permissions()));
    for (const QString& folder :
         {m_root.path(), programFolder(), languages, m_root.filePath(QStringLiteral("appdata"))})
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(settingsPath(), QFileDevice::Permissions(0x6666)));

    AppEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath();
    environment.programFolder = programFolder();
    environment.appDataBase = m_root.filePath(QStringLiteral("appdata"));
    environment.endpoints.makerServiceSecure = QUrl(QStringLiteral("https://127.0.0.1:9"));
    environment.endpoints.makerServicePlain = QUrl(QStringLiteral("http://127.0.0.1:9"));
    m_form = std::make_unique<TAppForm>(environment, m_desktop);
    bool failed = false;
    {
        UnprivilegedScope user;
        if (!user.permissionsApply())
            GTEST_SKIP() << "cannot run as an ordinary user here";
        try {
            m_form->FormCreate();
        } catch (const std::exception&) {
            failed = true;
        }
    }
    EXPECT_TRUE(failed); // the language file could not be read
    EXPECT_TRUE(m_form->TimerChecker->isActive());
    m_form->TimerChecker->stop();
}

TEST_F(AppFormTest, NoLabelOfTheWindowLaysOutMarkup)
{
    TAppForm& form = start();
    form.setStatusPanelText(0, QStringLiteral("<b>x</b> talk.mp3"));
    form.setStatusPanelText(1, QStringLiteral("<i>00:01"));
    EXPECT_EQ(LabelsThatReadMarkup(form), QStringList());
}

TEST_F(AppFormTest, TheKeyIsRestoredAtStart)
{
    writeSettings("[Settings]\r\nKey=r8_saved  \r\n[Other]\r\nKeep=1\r\n");
    TAppForm& form = start();
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("r8_saved  "));
    EXPECT_EQ(IniFile(settingsPath()).readString(QStringLiteral("Other"), QStringLiteral("Keep")),
              QStringLiteral("1"));
    EXPECT_EQ(form.DataFolder(), programFolder() + QLatin1Char('/'));
}

TEST_F(AppFormTest, AnEmptyStoredKeyRestoresAnEmptyField)
{
    writeSettings("[Settings]\nKey=\n");
    TAppForm& form = start();
    EXPECT_TRUE(form.Edit1->text().isEmpty());
}

TEST_F(AppFormTest, AFailedSettingsWriteShowsTheErrorAndTheProgramGoesOn)
{
    TAppForm& form = start();
    // The settings file's folder is taken away under the running program.
    ASSERT_TRUE(QDir(programFolder()).removeRecursively());
    form.Edit1->setText(QStringLiteral("r8_x"));
    QTRY_COMPARE(m_desktop.messages.size(), 1);
    EXPECT_EQ(m_desktop.messages[0].title, QStringLiteral("Parlotext"));
    EXPECT_EQ(m_desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(m_desktop.messages[0].text.contains(QStringLiteral("settings.ini")));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("r8_x"));
}

TEST_F(AppFormTest, F1OpensTheHelpPage)
{
    TAppForm& form = start();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_EQ(m_desktop.openedUrls.size(), 1);
    EXPECT_EQ(m_desktop.openedUrls[0],
              QUrl(QStringLiteral("http://www.maker.test/help/parlotext/")));
}

TEST_F(AppFormTest, GetApiKeyOpensTheTokenPageAndFailuresStaySilent)
{
    TAppForm& form = start();
    m_desktop.openUrlResult = false;
    form.Button4->click();
    ASSERT_EQ(m_desktop.openedUrls.size(), 1);
    EXPECT_EQ(m_desktop.openedUrls[0],
              QUrl(QStringLiteral("https://replicate.test/account/api-tokens")));
    EXPECT_TRUE(m_desktop.messages.isEmpty());
}

TEST_F(AppFormTest, ConsolePaneSitsAboveTheStatusBar)
{
    TAppForm& form = start();
    form.MemoCMD->setVisible(true);
    form.show();
    const QPoint consoleBottom = form.MemoCMD->mapTo(&form, QPoint(0, form.MemoCMD->height()));
    EXPECT_LE(consoleBottom.y(), form.StatusBar1->geometry().top());
    EXPECT_EQ(form.StatusBar1->geometry().bottom(), form.height() - 1);
}

TEST_F(AppFormTest, StatusBarHasTwoPanelsOfTheirWidths)
{
    TAppForm& form = start();
    const QList<QLabel*> panels =
        form.StatusBar1->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(panels.size(), 2);
    EXPECT_EQ(panels[0]->width(), 425);
    EXPECT_EQ(panels[1]->width(), 100);
    form.setStatusPanelText(0, QStringLiteral("Requesting..."));
    form.setStatusPanelText(1, QStringLiteral("00:01"));
    EXPECT_EQ(panels[0]->text(), QStringLiteral("Requesting..."));
    EXPECT_EQ(form.statusPanelText(1), QStringLiteral("00:01"));
}

TEST_F(AppFormTest, ExitClosesTheWindowWithoutAsking)
{
    TAppForm& form = start();
    form.show();
    form.Exit1->trigger();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(m_desktop.questions.isEmpty());
}

TEST_F(AppFormTest, ADroppedFileGoesIntoTheAddressField)
{
    TAppForm& form = start();
    form.show();
    EXPECT_TRUE(form.acceptDrops());
    const auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        // Straight to the window's handler: a drop sent through the application needs a
        // drag under way.
        static_cast<QObject&>(form).event(&event);
    };
    const QString first = m_root.filePath(QStringLiteral("Café \"interview\" 1.mp3"));
    drop({QUrl(QStringLiteral("https://example.org/page")), QUrl::fromLocalFile(first),
          QUrl::fromLocalFile(m_root.filePath(QStringLiteral("second.mp4")))});
    EXPECT_EQ(form.Edit3->text(), first);

    // A drop without any local file leaves the field alone.
    drop({QUrl(QStringLiteral("https://example.org/other.mp3"))});
    EXPECT_EQ(form.Edit3->text(), first);
}

TEST_F(AppFormTest, TheVideoToAudioOptionIsKeptInSettings)
{
    {
        TAppForm& form = start();
        EXPECT_TRUE(form.ConvertVideoToAudio1->isChecked());
        form.ConvertVideoToAudio1->trigger();
        EXPECT_FALSE(form.ConvertVideoToAudio1->isChecked());
        EXPECT_EQ(
            IniFile(settingsPath())
                .readString(QStringLiteral("Settings"), QStringLiteral("ConvertVideoToAudio")),
            QStringLiteral("0"));
    }
    m_form.reset();
    TAppForm& again = start();
    EXPECT_FALSE(again.ConvertVideoToAudio1->isChecked());
    again.ConvertVideoToAudio1->trigger();
    EXPECT_EQ(IniFile(settingsPath())
                  .readString(QStringLiteral("Settings"), QStringLiteral("ConvertVideoToAudio")),
              QStringLiteral("1"));
}

} // namespace
