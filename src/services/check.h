#pragma once

#include "core/appidentity.h"
#include "core/endpoints.h"
#include "platform/clientplatform.h"

#include <QDate>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

// The background update check: once per run a thread asks the maker's service which
// version is current, keeps a few per-user values, and hands its findings to the main
// window, which may then announce a new version.

// The per-user values of the update check, under the group "Settings" of the store.
namespace UpdateSettingsKeys {
inline constexpr char ShowUpdate[] = "ShowUpdate";
inline constexpr char LastUpdateCheck[] = "LastUpdateCheck";
inline constexpr char LastUpdateCheckCount[] = "LastUpdateCheckCount";
inline constexpr char InstalledVersion[] = "InstalledVersion";
inline constexpr char HowMany[] = "HowMany";
} // namespace UpdateSettingsKeys

// What the check takes from the system. The program uses the defaults; tests give a
// temporary store, a fixed day and their own machine.
struct UpdateCheckEnvironment {
    // Opens the per-user store; the program's is the native one of QUILLON / Parlotext.
    std::function<std::unique_ptr<QSettings>()> openSettings = DefaultUpdateSettings;
    std::function<QDate()> today = [] {
        return QDate::currentDate();
    };
    // The regional settings captured at start-up; their short date marks a day.
    QLocale dateLocale = QLocale::system();
    std::function<QString()> machineGuid;   // may throw; GetMachineGuid() when empty
    std::function<QString()> osDescription; // GetOSDescription() when empty
    // The user's locale code as it is at start-up.
    std::function<QString()> localeCode = [code = GetLocaleCode()] {
        return code;
    };
    int timeoutMs = 10000;

    static std::unique_ptr<QSettings> DefaultUpdateSettings();
};

// The integer a stored text reads as, or fallback when it is missing or not a number.
int ReadStoredInteger(const QSettings& settings, const char* key, int fallback);

// The service's answer to a check: four lines or more, "<version>", "<url>", any third line
// and "<result>" (0 or 1) as the fourth. An answer starting with "ERROR", or without such a
// result, is not valid.
struct CheckReply {
    bool valid = false;
    QString LatestVersion;
    QString DownloadURL;
};
CheckReply ParseCheckReply(const QString& reply);

// True when version, without its dots, reads as a 32-bit signed decimal integer.
bool IsNumericVersion(const QString& version);

// Whether a valid answer announces a new version: it names a version other than the
// running one (no ordering), that version is numeric, notices are on (exactly 1), and the
// day has had fewer than five valid answers.
bool ShouldAnnounce(const QString& latestVersion, const QString& appVersion, int showUpdate,
                    int newCount);

// What the check hands to the main thread. Everything but CheckFinished is written by the
// check before it sets CheckFinished (release) and read by the main thread only after it
// has seen it set (acquire).
struct UpdateCheckShared {
    std::atomic<bool> CheckFinished{false};
    // Set by the main thread when the program ends: the check gives up at once.
    std::atomic<bool> abandon{false};
    int ShowUpdate = 1;
    bool UpdateAvailable = false;
    QString LatestVersion;
    QString DownloadURL;
    bool CheckFailed = false;
    // Stays open for the rest of the run: the menu command writes "ShowUpdate" through it.
    std::unique_ptr<QSettings> UpdateSettings;
};

// Everything one check needs, copied for its thread.
struct UpdateCheckInputs {
    AppIdentity identity;
    Endpoints endpoints;
    UpdateCheckEnvironment environment;
};

// The check itself, on the calling thread (blocking). handOverTo is the thread that
// takes over the open store when the check ends.
void RunUpdateCheck(const UpdateCheckInputs& inputs, UpdateCheckShared& shared,
                    QThread* handOverTo);

// The check thread: runs one check and ends. It touches no window.
class TChecker final : public QThread {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TChecker)

public:
    TChecker(UpdateCheckInputs inputs, std::shared_ptr<UpdateCheckShared> shared,
             QObject* parent = nullptr);

protected:
    void run() override { Execute(); }

private:
    void Execute();

    UpdateCheckInputs m_inputs;
    std::shared_ptr<UpdateCheckShared> m_shared;
    QThread* m_handOverTo;
};

// The main thread's side of the check: starts one checker and polls its flag. When it is
// destroyed (the program ends) a check still running is told to give up, its request is
// aborted and it is given a moment to end; it never makes the exit hang.
class UpdateCheckDriver final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpdateCheckDriver)

public:
    explicit UpdateCheckDriver(QObject* parent = nullptr);
    ~UpdateCheckDriver() override;

    bool isStarted() const { return m_started; }
    void start(UpdateCheckInputs inputs);
    // True once the check has ended; its findings are then safe to read.
    bool isFinished() const;
    const UpdateCheckShared& shared() const { return *m_shared; }
    // The store the check opened, or null before it has finished.
    QSettings* updateSettings() const;
    // Blocks until the check ends; for tests only.
    bool waitForCheck(unsigned long milliseconds);

private:
    bool m_started = false;
    std::shared_ptr<UpdateCheckShared> m_shared;
    QPointer<TChecker> m_thread;
};
