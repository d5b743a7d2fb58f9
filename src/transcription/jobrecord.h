#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

#include <memory>
#include <optional>

class IniFile;

// What is kept of a running conversion so that the next start of the program can finish it.
struct JobRecordData {
    QString predictionId; // empty while the prediction is not created yet
    QString fileId;       // the uploaded file on the service, when there is one
    QDateTime started;    // UTC

    bool isEmpty() const { return predictionId.isEmpty() && fileId.isEmpty(); }
};

// Where the running conversion is kept. Only the holder of the record may write it: a
// second copy of the program neither resumes nor overwrites a record that the first holds.
class JobRecordStore {
public:
    virtual ~JobRecordStore() = default;
    // The kept record, when there is one.
    virtual std::optional<JobRecordData> load() const = 0;
    // Takes the record for this program; false when another copy holds it.
    virtual bool claim() = 0;
    virtual bool claimed() const = 0;
    // Writes the record, claiming it first; false when it could not be claimed or written.
    virtual bool save(const JobRecordData& record) = 0;
    // Removes the record and gives it up.
    virtual void clear() = 0;
};

// The record in section [Job] of settings.ini (each write atomic through IniFile), held
// through a lock file beside it that a crashed copy leaves free.
class SettingsJobRecord final : public JobRecordStore {
public:
    SettingsJobRecord(const QString& iniPath, const QString& lockPath);
    ~SettingsJobRecord() override;

    std::optional<JobRecordData> load() const override;
    bool claim() override;
    bool claimed() const override;
    bool save(const JobRecordData& record) override;
    void clear() override;

private:
    std::unique_ptr<IniFile> m_ini;
    QLockFile m_lock;
};

// True for an identifier as the service makes them (letters, digits, '-' and '_'): a
// kept identifier that is anything else is not put into a request path.
bool IsServiceIdentifier(const QString& id);
