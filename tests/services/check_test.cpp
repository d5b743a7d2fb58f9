// The update check against the fake service, with the per-user store and "today" under
// the test's control, and the main window's side of it (menu item, notice, exit).
#include "services/check.h"

#include "app/appform.h"
#include "platform/clientplatform.h"
#include "services/widgets/newversion.h"
#include "servicetestsupport.h"
#include "support/recordingdesktop.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using Behaviour = FakeMakerService::Behaviour;

namespace {

std::string answer(const std::string& versionLine,
                   const std::string& urlLine = "<url>http://127.0.0.1:9/get</url>",
                   const std::string& resultLine = "<result>1</result>")
{
    return versionLine + "\r\n" + urlLine + "\r\n<news></news>\r\n" + resultLine + "\r\n";
}

std::string versionAnswer(const std::string& version)
{
    return answer("<version>" + version + "</version>");
}

UpdateCheckEnvironment testEnvironment(const QString& storePath, const QDate* day)
{
    UpdateCheckEnvironment environment;
    environment.openSettings = [storePath] {
        return std::make_unique<QSettings>(storePath, QSettings::IniFormat);
    };
    environment.today = [day] {
        return *day;
    };
    environment.dateLocale = QLocale(QLocale::English, QLocale::UnitedStates);
    environment.machineGuid = [] {
        return QStringLiteral("4f1c2a9be0d34c55a1b2c3d4e5f60718");
    };
    environment.osDescription = [] {
        return QStringLiteral("Test Linux 1 (Version 6.1, Build 0, 64-bit Edition)");
    };
    environment.localeCode = [] {
        return QStringLiteral("en-US");
    };
    environment.timeoutMs = 400;
    return environment;
}

} // namespace

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override { storePath = folder.filePath(QStringLiteral("store.ini")); }

    UpdateCheckInputs inputs()
    {
        UpdateCheckInputs in;
        in.identity = {QStringLiteral("QUILLON"), QStringLiteral("Parlotext"),
                       QStringLiteral("QUILLON - Parlotext"), QStringLiteral("1.3")};
        in.endpoints = EndpointsFor(service);
        in.environment = testEnvironment(storePath, &day);
        if (guidFails)
            in.environment.machineGuid = []() -> QString {
                throw MachineIdError("unreadable");
            };
        return in;
    }

    std::unique_ptr<UpdateCheckShared> run()
    {
        auto shared = std::make_unique<UpdateCheckShared>();
        RunUpdateCheck(inputs(), *shared, QThread::currentThread());
        EXPECT_TRUE(shared->CheckFinished.load());
        EXPECT_NE(shared->UpdateSettings, nullptr);
        if (shared->UpdateSettings)
            shared->UpdateSettings->sync();
        return shared;
    }

    QString stored(const char* key) const
    {
        QSettings settings(storePath, QSettings::IniFormat);
        return settings.value(QStringLiteral("Settings/") + QLatin1String(key)).toString();
    }
    bool isStored(const char* key) const
    {
        QSettings settings(storePath, QSettings::IniFormat);
        return settings.contains(QStringLiteral("Settings/") + QLatin1String(key));
    }
    void store(const char* key, const QString& value)
    {
        QSettings settings(storePath, QSettings::IniFormat);
        settings.setValue(QStringLiteral("Settings/") + QLatin1String(key), value);
    }
    QString todayText() const
    {
        return QLocale(QLocale::English, QLocale::UnitedStates).toString(day, QLocale::ShortFormat);
    }
    size_t checkPosts() const { return service.posts("/php/check2.php").size(); }

    QTemporaryDir folder;
    QString storePath;
    QDate day{2026, 12, 10};
    bool guidFails = false;
    FakeMakerService service;
};

namespace Keys = UpdateSettingsKeys;

TEST_F(UpdateCheckTest, FirstRunEverSendsTheIdentityAndRecordsTheAnswer)
{
    service.checkReply = versionAnswer("1.4");
    service.start();
    const auto shared = run();

    const auto posts = service.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_TRUE(posts[0].secure);
    EXPECT_EQ(posts[0].request.path, "/php/check2.php");
    const FakeMakerService::Fields expected = {
        {"cmd", "check"},   {"appname", "QUILLON - Parlotext"},
        {"version", "1.3"}, {"os", "Test Linux 1 (Version 6.1, Build 0, 64-bit Edition)"},
        {"local", "en-US"}, {"guid", "4f1c2a9be0d34c55a1b2c3d4e5f60718"},
        {"howmany", "1"},
    };
    EXPECT_EQ(posts[0].fields, expected);

    EXPECT_EQ(stored(Keys::HowMany), QStringLiteral("1"));
    EXPECT_EQ(stored(Keys::InstalledVersion), QStringLiteral("1.3"));
    EXPECT_EQ(stored(Keys::LastUpdateCheck), todayText());
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount), QStringLiteral("1"));
    EXPECT_FALSE(isStored(Keys::ShowUpdate)); // only the menu command writes it
    EXPECT_EQ(shared->ShowUpdate, 1);
    EXPECT_FALSE(shared->CheckFailed);
    EXPECT_TRUE(shared->UpdateAvailable);
    EXPECT_EQ(shared->LatestVersion, QStringLiteral("1.4"));
    EXPECT_EQ(shared->DownloadURL, QStringLiteral("http://127.0.0.1:9/get"));
}

struct HowManyCase {
    const char* storedHowMany; // nullptr: not stored
    const char* installedVersion;
    const char* sent;
};

void PrintTo(const HowManyCase& c, std::ostream* os)
{
    *os << "stored " << (c.storedHowMany ? c.storedHowMany : "(none)") << " for "
        << (c.installedVersion ? c.installedVersion : "(none)");
}

class HowManyTest : public UpdateCheckTest, public ::testing::WithParamInterface<HowManyCase> {};

TEST_P(HowManyTest, CountsRunsSinceThisVersionWasFirstRun)
{
    const HowManyCase& c = GetParam();
    if (c.storedHowMany)
        store(Keys::HowMany, QString::fromLatin1(c.storedHowMany));
    if (c.installedVersion)
        store(Keys::InstalledVersion, QString::fromLatin1(c.installedVersion));
    service.start();
    run();
    ASSERT_EQ(checkPosts(), 1u);
    EXPECT_EQ(service.posts()[0].field("howmany"), c.sent);
    EXPECT_EQ(stored(Keys::HowMany).toStdString(), c.sent);
    EXPECT_EQ(stored(Keys::InstalledVersion), QStringLiteral("1.3"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, HowManyTest,
    ::testing::Values(HowManyCase{"7", "1.3", "8"}, HowManyCase{"7", "1.2", "1"}, // a new version
                      HowManyCase{"7", nullptr, "1"}, HowManyCase{"-4", "1.3", "1"},
                      HowManyCase{"many", "1.3", "1"}, HowManyCase{nullptr, nullptr, "1"}));

TEST_F(UpdateCheckTest, SwitchedOffSendsNothingButStillCountsTheRun)
{
    store(Keys::ShowUpdate, QStringLiteral("0"));
    store(Keys::HowMany, QStringLiteral("2"));
    store(Keys::InstalledVersion, QStringLiteral("1.3"));
    store(Keys::LastUpdateCheck, QStringLiteral("1/2/25"));
    store(Keys::LastUpdateCheckCount, QStringLiteral("3"));
    service.start();
    const auto shared = run();
    EXPECT_EQ(checkPosts(), 0u);
    EXPECT_EQ(shared->ShowUpdate, 0);
    EXPECT_FALSE(shared->UpdateAvailable);
    EXPECT_EQ(stored(Keys::HowMany), QStringLiteral("3"));
    EXPECT_EQ(stored(Keys::LastUpdateCheck), QStringLiteral("1/2/25"));
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount), QStringLiteral("3"));
    EXPECT_EQ(stored(Keys::ShowUpdate), QStringLiteral("0"));
}

TEST_F(UpdateCheckTest, AShowUpdateOfTwoAsksButNeverAnnounces)
{
    store(Keys::ShowUpdate, QStringLiteral("2"));
    service.checkReply = versionAnswer("1.4");
    service.start();
    const auto shared = run();
    EXPECT_EQ(checkPosts(), 1u);
    EXPECT_EQ(shared->ShowUpdate, 2);
    EXPECT_FALSE(shared->CheckFailed);
    EXPECT_FALSE(shared->UpdateAvailable);
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount), QStringLiteral("1"));
}

TEST_F(UpdateCheckTest, AnUnreadableShowUpdateCountsAsOn)
{
    store(Keys::ShowUpdate, QStringLiteral("yes"));
    service.checkReply = versionAnswer("1.4");
    service.start();
    const auto shared = run();
    EXPECT_EQ(shared->ShowUpdate, 1);
    EXPECT_TRUE(shared->UpdateAvailable);
}

struct DayCase {
    const char* name;
    bool sameDay; // the stored date is today's short date
    int storedCount;
    bool requested;
    const char* newCount;
    bool announced;
};

class DailyRhythmTest : public UpdateCheckTest, public ::testing::WithParamInterface<DayCase> {};

TEST_P(DailyRhythmTest, AtMostFiveValidAnswersADayAndNoticesOnTheFirstFour)
{
    const DayCase& c = GetParam();
    store(Keys::LastUpdateCheck, c.sameDay ? todayText() : QStringLiteral("12/9/26"));
    store(Keys::LastUpdateCheckCount, QString::number(c.storedCount));
    service.checkReply = versionAnswer("1.4");
    service.start();
    const auto shared = run();
    EXPECT_EQ(checkPosts(), c.requested ? 1u : 0u);
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount).toStdString(), c.newCount);
    EXPECT_EQ(stored(Keys::LastUpdateCheck),
              c.sameDay || c.requested ? todayText() : QStringLiteral("12/9/26"));
    EXPECT_EQ(shared->UpdateAvailable, c.announced);
}

INSTANTIATE_TEST_SUITE_P(Table, DailyRhythmTest,
                         ::testing::Values(DayCase{"FourthRun", true, 3, true, "4", true},
                                           DayCase{"FifthRun", true, 4, true, "5", false},
                                           DayCase{"SixthRun", true, 5, false, "5", false},
                                           DayCase{"LaterRun", true, 9, false, "9", false},
                                           DayCase{"NewDay", false, 5, true, "1", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheckTest, AChangedDateFormatMakesANewDay)
{
    // Today in another short-date format, e.g. written before the user changed it.
    store(Keys::LastUpdateCheck, QStringLiteral("2026-12-10"));
    store(Keys::LastUpdateCheckCount, QStringLiteral("5"));
    service.checkReply = versionAnswer("1.4");
    service.start();
    const auto shared = run();
    EXPECT_EQ(checkPosts(), 1u);
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount), QStringLiteral("1"));
    EXPECT_TRUE(shared->UpdateAvailable);
}

struct UnusableCase {
    const char* name;
    std::string reply;
};

class UnusableAnswerTest : public UpdateCheckTest,
                           public ::testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableAnswerTest, IsNotCountedAndAnnouncesNothing)
{
    store(Keys::LastUpdateCheck, todayText());
    store(Keys::LastUpdateCheckCount, QStringLiteral("2"));
    service.checkReply = GetParam().reply;
    service.start();
    const auto shared = run();
    EXPECT_EQ(checkPosts(), 1u);
    EXPECT_TRUE(shared->CheckFailed);
    EXPECT_FALSE(shared->UpdateAvailable);
    EXPECT_TRUE(shared->LatestVersion.isEmpty());
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount), QStringLiteral("2"));
    EXPECT_EQ(stored(Keys::HowMany), QStringLiteral("1")); // the run itself still counts
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnusableAnswerTest,
    ::testing::Values(
        UnusableCase{
            "Error",
            "ERROR: database unavailable\r\n<version>1.4</version>\r\n\r\n<result>1</result>"},
        UnusableCase{"ErrorWithValidLines", "ERROR" + versionAnswer("1.4")},
        UnusableCase{"ThreeLines",
                     "<version>1.4</version>\r\n<url></url>\r\n<result>1</result>\r\n"},
        UnusableCase{"Empty", ""},
        UnusableCase{"ResultTwo",
                     answer("<version>1.4</version>", "<url></url>", "<result>2</result>")},
        UnusableCase{"ResultInCapitals",
                     answer("<version>1.4</version>", "<url></url>", "<RESULT>1</RESULT>")},
        UnusableCase{"ResultWithSpace",
                     answer("<version>1.4</version>", "<url></url>", "<result>1</result> ")},
        UnusableCase{"ResultEmpty",
                     answer("<version>1.4</version>", "<url></url>", "<result></result>")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheckTest, AnErrorPageOverTheSecureTransportIsAnUnusableAnswerWithoutRetry)
{
    service.secureBehaviour = Behaviour::HttpError;
    service.start();
    const auto shared = run();
    EXPECT_TRUE(shared->CheckFailed);
    ASSERT_EQ(service.posts().size(), 1u);
    EXPECT_TRUE(service.posts()[0].secure);
}

struct VersionCase {
    const char* name;
    std::string versionLine;
    const char* latest;
    bool announced;
};

class AnnouncedVersionTest : public UpdateCheckTest,
                             public ::testing::WithParamInterface<VersionCase> {};

TEST_P(AnnouncedVersionTest, AnnouncesAnyOtherNumericVersion)
{
    const VersionCase& c = GetParam();
    service.checkReply = answer(c.versionLine);
    service.start();
    const auto shared = run();
    EXPECT_FALSE(shared->CheckFailed);
    EXPECT_EQ(shared->LatestVersion.toStdString(), c.latest);
    EXPECT_EQ(shared->UpdateAvailable, c.announced);
    // A valid answer is counted whatever version it names.
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount), QStringLiteral("1"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnnouncedVersionTest,
    ::testing::Values(VersionCase{"Equal", "<version>1.3</version>", "1.3", false},
                      VersionCase{"Newer", "<version>1.4</version>", "1.4", true},
                      VersionCase{"Older", "<version>1.2</version>", "1.2", true},
                      VersionCase{"ThreeParts", "<version>2.0.1</version>", "2.0.1", true},
                      VersionCase{"WithSuffix", "<version>1.4 beta</version>", "1.4 beta", false},
                      VersionCase{"Letters", "<version>v1.4</version>", "v1.4", false},
                      VersionCase{"TooLarge", "<version>99999.99999</version>", "99999.99999",
                                  false},
                      VersionCase{"Empty", "<version></version>", "", false},
                      VersionCase{"Missing", "", "", false},
                      VersionCase{"UpperCaseTags", "<VERSION>1.4</VERSION>", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheckTest, APlainAnswerAfterAFailedSecureAttemptIsUsed)
{
    service.secureBehaviour = Behaviour::TlsFailure;
    service.checkReply = answer("<version>1.4</version>", "<url></url>");
    service.start();
    const auto shared = run();
    ASSERT_EQ(service.posts().size(), 1u);
    EXPECT_FALSE(service.posts()[0].secure);
    EXPECT_FALSE(shared->CheckFailed);
    EXPECT_TRUE(shared->UpdateAvailable);
    EXPECT_TRUE(shared->DownloadURL.isEmpty());
    EXPECT_EQ(stored(Keys::LastUpdateCheckCount), QStringLiteral("1"));
}

TEST_F(UpdateCheckTest, WithoutAnyAnswerNothingIsCountedAndTheNextRunTriesAgain)
{
    service.secureBehaviour = Behaviour::Refuse;
    service.plainBehaviour = Behaviour::TimeOut;
    service.start();
    const auto shared = run();
    EXPECT_TRUE(shared->CheckFailed);
    EXPECT_FALSE(shared->UpdateAvailable);
    EXPECT_FALSE(isStored(Keys::LastUpdateCheck));
    EXPECT_FALSE(isStored(Keys::LastUpdateCheckCount));
    EXPECT_EQ(stored(Keys::HowMany), QStringLiteral("1"));
}

TEST_F(UpdateCheckTest, AnUnreadableMachineIdSendsAnEmptyGuidAndOnlyAPlainAnswerCounts)
{
    guidFails = true;
    service.checkReply = versionAnswer("1.4");
    service.start();
    auto shared = run();
    ASSERT_EQ(checkPosts(), 1u);
    EXPECT_TRUE(service.posts()[0].hasField("guid"));
    EXPECT_EQ(service.posts()[0].field("guid"), "");
    EXPECT_TRUE(shared->CheckFailed);
    EXPECT_FALSE(shared->UpdateAvailable);
    EXPECT_FALSE(isStored(Keys::LastUpdateCheckCount));
}

TEST_F(UpdateCheckTest, APlainAnswerClearsAnEarlierMachineIdProblem)
{
    guidFails = true;
    service.secureBehaviour = Behaviour::Refuse;
    service.checkReply = versionAnswer("1.4");
    service.start();
    auto shared = run();
    EXPECT_FALSE(shared->CheckFailed);
    EXPECT_TRUE(shared->UpdateAvailable);
}

TEST(UpdateCheckRules, NumericVersionsAndTheNoticeDecision)
{
    EXPECT_TRUE(IsNumericVersion(QStringLiteral("1.4")));
    EXPECT_TRUE(IsNumericVersion(QStringLiteral("2147483647")));
    EXPECT_FALSE(IsNumericVersion(QStringLiteral("2147483648")));
    EXPECT_FALSE(IsNumericVersion(QStringLiteral("")));
    EXPECT_FALSE(IsNumericVersion(QStringLiteral("...")));
    EXPECT_FALSE(IsNumericVersion(QStringLiteral("1.4 ")));
    EXPECT_TRUE(ShouldAnnounce(QStringLiteral("1.4"), QStringLiteral("1.3"), 1, 4));
    EXPECT_FALSE(ShouldAnnounce(QStringLiteral("1.4"), QStringLiteral("1.3"), 1, 5));
    EXPECT_FALSE(ShouldAnnounce(QStringLiteral("1.4"), QStringLiteral("1.3"), 2, 1));
    EXPECT_FALSE(ShouldAnnounce(QStringLiteral("1.3"), QStringLiteral("1.3"), 1, 1));
}

// ---- the main window's side ----

class MainWindowCheckTest : public ::testing::Test {
protected:
    void SetUp() override { storePath = folder.filePath(QStringLiteral("store.ini")); }

    std::unique_ptr<TAppForm> makeForm()
    {
        AppEnvironment environment;
        // The test program carries the same version block as the program.
        environment.programFile = QCoreApplication::applicationFilePath();
        environment.programFolder = folder.path();
        environment.appDataBase = folder.filePath(QStringLiteral("appdata"));
        environment.endpoints = EndpointsFor(service);
        auto form = std::make_unique<TAppForm>(environment, desktop);
        form->updateCheckEnvironment() = testEnvironment(storePath, &day);
        form->FormCreate();
        return form;
    }

    // Ticks until the check has been handled, as TimerChecker would once a second.
    void runCheck(TAppForm& form)
    {
        form.TimerCheckerTimer(); // starts the thread
        EXPECT_TRUE(form.updateCheck()->isStarted());
        EXPECT_FALSE(form.UpdateNotifications1->isEnabled());
        ASSERT_TRUE(form.updateCheck()->waitForCheck(10000));
        form.TimerCheckerTimer();
    }

    void store(const char* key, const QString& value)
    {
        QSettings settings(storePath, QSettings::IniFormat);
        settings.setValue(QStringLiteral("Settings/") + QLatin1String(key), value);
    }
    QString stored(const char* key) const
    {
        QSettings settings(storePath, QSettings::IniFormat);
        return settings.value(QStringLiteral("Settings/") + QLatin1String(key)).toString();
    }

    QTemporaryDir folder;
    QString storePath;
    QDate day{2026, 12, 10};
    RecordingDesktop desktop;
    FakeMakerService service;
};

TEST_F(MainWindowCheckTest, ANewVersionEnablesTheMenuItemAndCreatesTheNotice)
{
    service.checkReply = versionAnswer("1.4");
    service.start();
    auto form = makeForm();
    EXPECT_TRUE(form->TimerChecker->isActive());
    EXPECT_EQ(form->identity().AppVersion, QStringLiteral("1.3"));
    runCheck(*form);
    EXPECT_FALSE(form->TimerChecker->isActive());
    EXPECT_TRUE(form->UpdateNotifications1->isEnabled());
    EXPECT_TRUE(form->UpdateNotifications1->isChecked());
    ASSERT_NE(form->NewVer(), nullptr);
    EXPECT_TRUE(form->NewVer()->Label2->text().endsWith(QLatin1String("Parlotext 1.4")));
    EXPECT_EQ(service.posts()[0].field("appname"), "QUILLON - Parlotext");
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(desktop.beeps, 0);
    // Later ticks change nothing: one check per run.
    form->TimerCheckerTimer();
    EXPECT_EQ(service.posts().size(), 1u);
}

TEST_F(MainWindowCheckTest, TheSameVersionCreatesNoNotice)
{
    service.checkReply = versionAnswer("1.3");
    service.start();
    auto form = makeForm();
    runCheck(*form);
    EXPECT_TRUE(form->UpdateNotifications1->isEnabled());
    EXPECT_EQ(form->NewVer(), nullptr);
}

TEST_F(MainWindowCheckTest, SwitchedOffUnticksTheItemAndTheMenuSwitchesItBackOn)
{
    store(UpdateSettingsKeys::ShowUpdate, QStringLiteral("0"));
    service.start();
    auto form = makeForm();
    runCheck(*form);
    EXPECT_TRUE(form->UpdateNotifications1->isEnabled());
    EXPECT_FALSE(form->UpdateNotifications1->isChecked());
    EXPECT_TRUE(service.posts().empty());

    form->UpdateNotifications1->trigger();
    EXPECT_TRUE(form->UpdateNotifications1->isChecked());
    EXPECT_EQ(stored(UpdateSettingsKeys::ShowUpdate), QStringLiteral("1"));
    form->UpdateNotifications1->trigger();
    EXPECT_FALSE(form->UpdateNotifications1->isChecked());
    EXPECT_EQ(stored(UpdateSettingsKeys::ShowUpdate), QStringLiteral("0"));
    // Nothing else happens in this run.
    EXPECT_TRUE(service.posts().empty());
    EXPECT_EQ(form->NewVer(), nullptr);
}

TEST_F(MainWindowCheckTest, AShowUpdateOfTwoKeepsTheItemTicked)
{
    store(UpdateSettingsKeys::ShowUpdate, QStringLiteral("2"));
    service.checkReply = versionAnswer("1.4");
    service.start();
    auto form = makeForm();
    runCheck(*form);
    EXPECT_TRUE(form->UpdateNotifications1->isChecked());
    EXPECT_EQ(form->NewVer(), nullptr);
    EXPECT_EQ(service.posts().size(), 1u);
}

TEST_F(MainWindowCheckTest, ClosedPortsEndTheCheckQuietly)
{
    service.secureBehaviour = Behaviour::Refuse;
    service.plainBehaviour = Behaviour::Refuse;
    service.start();
    auto form = makeForm();
    runCheck(*form);
    EXPECT_TRUE(form->UpdateNotifications1->isEnabled());
    EXPECT_EQ(form->NewVer(), nullptr);
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_TRUE(desktop.openedUrls.isEmpty());
}

TEST_F(MainWindowCheckTest, ACheckStillRunningAtExitNeitherHangsNorCrashes)
{
    service.secureBehaviour = Behaviour::TimeOut;
    service.plainBehaviour = Behaviour::TimeOut;
    service.start();
    auto form = makeForm();
    form->updateCheckEnvironment().timeoutMs = 60000;
    form->TimerCheckerTimer();
    // Wait until the request is really under way.
    QElapsedTimer clock;
    clock.start();
    while (service.posts().empty() && clock.elapsed() < 5000)
        QThread::msleep(10);
    ASSERT_EQ(service.posts().size(), 1u);
    clock.restart();
    form.reset();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(service.posts().size(), 1u); // no plain attempt after giving up
    EXPECT_TRUE(desktop.messages.isEmpty());
}
