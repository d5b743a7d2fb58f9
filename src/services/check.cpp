#include "services/check.h"

#include "platform/clientplatform.h"
#include "services/formpost.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <climits>

namespace {

QString settingsKey(const char* name)
{
    return QStringLiteral("Settings/") + QLatin1String(name);
}

QString readStoredText(const QSettings& settings, const char* name)
{
    return settings.value(settingsKey(name)).toString();
}

void writeStored(QSettings& settings, const char* name, const QString& value)
{
    settings.setValue(settingsKey(name), value);
}

// Sets CheckFinished on every way out of the check, the last write of the thread.
class FinishOnExit {
public:
    explicit FinishOnExit(UpdateCheckShared& shared)
        : m_shared(shared)
    {
    }
    ~FinishOnExit() { m_shared.CheckFinished.store(true, std::memory_order_release); }
    FinishOnExit(const FinishOnExit&) = delete;
    FinishOnExit& operator=(const FinishOnExit&) = delete;

private:
    UpdateCheckShared& m_shared;
};

void checkBody(const UpdateCheckInputs& inputs, UpdateCheckShared& shared, QThread* handOverTo)
{
    namespace Keys = UpdateSettingsKeys;
    const UpdateCheckEnvironment& environment = inputs.environment;
    const QString& appVersion = inputs.identity.AppVersion;

    QString guid;
    try {
        guid = environment.machineGuid ? environment.machineGuid() : GetMachineGuid();
    } catch (const std::exception&) {
        guid.clear();
        shared.CheckFailed = true;
    }

    std::unique_ptr<QSettings> settings = environment.openSettings
                                              ? environment.openSettings()
                                              : UpdateCheckEnvironment::DefaultUpdateSettings();
    if (!settings)
        return;

    const QString lastCheck = readStoredText(*settings, Keys::LastUpdateCheck);
    const int lastCount = ReadStoredInteger(*settings, Keys::LastUpdateCheckCount, 0);
    const QString installedVersion = readStoredText(*settings, Keys::InstalledVersion);

    // Every run counts, also with the check switched off; a new version starts again at 1.
    int howMany = ReadStoredInteger(*settings, Keys::HowMany, 0);
    if (howMany < 0 || installedVersion != appVersion)
        howMany = 0;
    if (howMany < INT_MAX)
        ++howMany;
    writeStored(*settings, Keys::HowMany, QString::number(howMany));
    writeStored(*settings, Keys::InstalledVersion, appVersion);

    shared.ShowUpdate = ReadStoredInteger(*settings, Keys::ShowUpdate, 1);

    const auto handOver = [&] {
        settings->sync();
        // The menu command writes through the store on the main thread from now on.
        settings->moveToThread(handOverTo);
        shared.UpdateSettings = std::move(settings);
    };

    if (shared.ShowUpdate == 0 || shared.abandon.load(std::memory_order_acquire)) {
        handOver();
        return;
    }
    const QString today =
        environment.dateLocale.toString(environment.today(), QLocale::ShortFormat);
    if (lastCheck == today && lastCount >= 5) {
        handOver();
        return;
    }

    const QStringList fields = {
        QStringLiteral("cmd=check"),
        QStringLiteral("appname=") + inputs.identity.AppTitle,
        QStringLiteral("version=") + appVersion,
        QStringLiteral("os=") +
            (environment.osDescription ? environment.osDescription() : GetOSDescription()),
        QStringLiteral("local=") +
            (environment.localeCode ? environment.localeCode() : GetLocaleCode()),
        QStringLiteral("guid=") + guid,
        QStringLiteral("howmany=") + QString::number(howMany),
    };
    const ServiceOutcome outcome =
        SendToService(MakerServiceEndpoint(inputs.endpoints, QLatin1String(kUpdateCheckPath)),
                      fields, environment.timeoutMs, &shared.abandon);
    if (outcome.secureFailed)
        shared.CheckFailed = !outcome.succeeded; // the plain answer clears any earlier problem
    else if (!outcome.succeeded)
        shared.CheckFailed = true;
    const CheckReply reply = ParseCheckReply(outcome.succeeded ? outcome.reply : QString());
    if (!reply.valid)
        shared.CheckFailed = true;
    if (!shared.CheckFailed) {
        const int newCount = lastCheck == today ? lastCount + 1 : 1;
        writeStored(*settings, Keys::LastUpdateCheck, today);
        writeStored(*settings, Keys::LastUpdateCheckCount, QString::number(newCount));
        shared.LatestVersion = reply.LatestVersion;
        shared.DownloadURL = reply.DownloadURL;
        shared.UpdateAvailable =
            ShouldAnnounce(shared.LatestVersion, appVersion, shared.ShowUpdate, newCount);
    }
    handOver();
}

} // namespace

std::unique_ptr<QSettings> UpdateCheckEnvironment::DefaultUpdateSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("QUILLON"), QStringLiteral("Parlotext"));
}

int ReadStoredInteger(const QSettings& settings, const char* key, int fallback)
{
    const QVariant value = settings.value(settingsKey(key));
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok, 10);
    return ok ? number : fallback;
}

CheckReply ParseCheckReply(const QString& reply)
{
    CheckReply parsed;
    if (reply.startsWith(QLatin1String("ERROR")))
        return parsed;
    const QStringList lines = SplitReplyLines(reply);
    const QString result =
        lines.size() >= 4 ? ReadTag(lines.at(3), QStringLiteral("result")) : QString();
    if (result != QLatin1String("0") && result != QLatin1String("1"))
        return parsed;
    parsed.valid = true;
    parsed.LatestVersion = ReadTag(lines.at(0), QStringLiteral("version"));
    parsed.DownloadURL = ReadTag(lines.at(1), QStringLiteral("url"));
    return parsed;
}

bool IsNumericVersion(const QString& version)
{
    QString digits = version;
    digits.remove(QLatin1Char('.'));
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    if (!integer.match(digits).hasMatch())
        return false;
    bool ok = false;
    digits.toInt(&ok, 10);
    return ok;
}

bool ShouldAnnounce(const QString& latestVersion, const QString& appVersion, int showUpdate,
                    int newCount)
{
    return latestVersion != appVersion && IsNumericVersion(latestVersion) && showUpdate == 1 &&
           newCount < 5;
}

void RunUpdateCheck(const UpdateCheckInputs& inputs, UpdateCheckShared& shared, QThread* handOverTo)
{
    shared.CheckFinished.store(false, std::memory_order_relaxed);
    shared.CheckFailed = false;
    FinishOnExit finish(shared);
    try {
        checkBody(inputs, shared, handOverTo);
    } catch (...) {
        // Nothing of the check is ever shown; whatever went wrong, it just ends.
        shared.CheckFailed = true;
        shared.UpdateAvailable = false;
    }
}

TChecker::TChecker(UpdateCheckInputs inputs, std::shared_ptr<UpdateCheckShared> shared,
                   QObject* parent)
    : QThread(parent)
    , m_inputs(std::move(inputs))
    , m_shared(std::move(shared))
    , m_handOverTo(QCoreApplication::instance()->thread())
{
}

void TChecker::Execute()
{
    RunUpdateCheck(m_inputs, *m_shared, m_handOverTo);
}

UpdateCheckDriver::UpdateCheckDriver(QObject* parent)
    : QObject(parent)
    , m_shared(std::make_shared<UpdateCheckShared>())
{
}

UpdateCheckDriver::~UpdateCheckDriver()
{
    m_shared->abandon.store(true, std::memory_order_release);
    if (!m_thread)
        return;
    // The request is aborted within a few tens of milliseconds; the bound only guards
    // against a thread stuck somewhere unforeseen, which is then left to the process end
    // (it keeps its own share of the state, so nothing it touches goes away).
    if (m_thread->isRunning() && !m_thread->wait(5000))
        return;
    delete m_thread.data();
}

void UpdateCheckDriver::start(UpdateCheckInputs inputs)
{
    if (m_started)
        return;
    m_started = true;
    auto* thread = new TChecker(std::move(inputs), m_shared);
    // The thread frees itself when it ends.
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    m_thread = thread;
    thread->start();
}

bool UpdateCheckDriver::isFinished() const
{
    return m_started && m_shared->CheckFinished.load(std::memory_order_acquire);
}

QSettings* UpdateCheckDriver::updateSettings() const
{
    return isFinished() ? m_shared->UpdateSettings.get() : nullptr;
}

bool UpdateCheckDriver::waitForCheck(unsigned long milliseconds)
{
    return m_thread ? m_thread->wait(milliseconds) : true;
}
