#pragma once

#include <QString>

#include <optional>
#include <stdexcept>

// A failed write of the settings file; its message is shown to the user.
class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A Windows-style INI file read and written the way profile-string functions do it:
// sections and keys are found without regard to case, values are stored raw, every other
// line is kept, and each write reaches the disk at once. Every call reads the file anew,
// so two programs sharing the file keep each other's values. Writes replace the file
// atomically and leave it readable by its owner only, since it may hold a secret.
class IniFile final {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // The raw value of key in section, or nothing when the file, section or key is missing.
    std::optional<QString> readString(const QString& section, const QString& key) const;

    // Creates the file, the section or the key as needed. Throws IniWriteError on failure,
    // when the file exists but cannot be read, and for text holding a line break.
    void writeString(const QString& section, const QString& key, const QString& value);

private:
    QString m_path;
};

// The pure text step of a write, kept apart for the tests: the file's text with
// section/key set to value.
QString IniTextWithValue(const QString& text, const QString& section, const QString& key,
                         const QString& value);
std::optional<QString> IniValueInText(const QString& text, const QString& section,
                                      const QString& key);
