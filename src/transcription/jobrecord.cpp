#include "transcription/jobrecord.h"

#include "platform/inifile.h"

namespace {

const QString kSection = QStringLiteral("Job");
const QString kPrediction = QStringLiteral("PredictionId");
const QString kFile = QStringLiteral("FileId");
const QString kStarted = QStringLiteral("Started");

} // namespace

bool IsServiceIdentifier(const QString& id)
{
    if (id.isEmpty() || id.size() > 200)
        return false;
    for (const QChar c : id) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                        (u >= '0' && u <= '9') || u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

SettingsJobRecord::SettingsJobRecord(const QString& iniPath, const QString& lockPath)
    : m_ini(std::make_unique<IniFile>(iniPath))
    , m_lock(lockPath)
{
    // A job runs for minutes: the lock never grows stale while its holder lives; a lock
    // left by a copy that has ended is recognised by its process identifier.
    m_lock.setStaleLockTime(0);
}

SettingsJobRecord::~SettingsJobRecord() = default;

std::optional<JobRecordData> SettingsJobRecord::load() const
{
    JobRecordData record;
    const QString prediction = m_ini->readString(kSection, kPrediction).value_or(QString());
    const QString file = m_ini->readString(kSection, kFile).value_or(QString());
    // A value that is not an identifier of the service (an edited or damaged file) is
    // treated as absent.
    if (IsServiceIdentifier(prediction.trimmed()))
        record.predictionId = prediction.trimmed();
    if (IsServiceIdentifier(file.trimmed()))
        record.fileId = file.trimmed();
    record.started = QDateTime::fromString(
        m_ini->readString(kSection, kStarted).value_or(QString()).trimmed(), Qt::ISODate);
    if (record.isEmpty())
        return std::nullopt;
    return record;
}

bool SettingsJobRecord::claim()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

bool SettingsJobRecord::claimed() const
{
    return m_lock.isLocked();
}

bool SettingsJobRecord::save(const JobRecordData& record)
{
    if (!claim())
        return false;
    try {
        // The identifiers last: a record is only taken up once its start time is there.
        m_ini->writeString(kSection, kStarted, record.started.toUTC().toString(Qt::ISODate));
        m_ini->writeString(kSection, kFile, record.fileId);
        m_ini->writeString(kSection, kPrediction, record.predictionId);
    } catch (const IniWriteError&) {
        // Without the record the conversion still runs; it only cannot outlive the program.
        return false;
    }
    return true;
}

void SettingsJobRecord::clear()
{
    if (!m_lock.isLocked())
        return;
    try {
        // The identifiers first: whatever happens after, no half record is resumed.
        m_ini->writeString(kSection, kPrediction, QString());
        m_ini->writeString(kSection, kFile, QString());
        m_ini->writeString(kSection, kStarted, QString());
    } catch (const IniWriteError&) {
        // The next start finds the record and asks the service, which ends it.
    }
    m_lock.unlock();
}
