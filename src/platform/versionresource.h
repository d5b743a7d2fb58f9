#pragma once

#include <QString>

#include <stdexcept>

// The twelve strings of a program file's version block, in the block's own order.
// A key the block lacks leaves its field empty.
struct TEXEVersionData {
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString PrivateBuild;
    QString SpecialBuild;
};

// The fixed file version: four 16-bit numbers.
struct FixedFileVersion {
    quint16 major = 0;
    quint16 minor = 0;
    quint16 build = 0;
    quint16 revision = 0;
};

// An operating-system error with its code, worded as the system's error box words it:
// "System Error.  Code: N." and the system's text for N on the next line.
class SystemError : public std::runtime_error {
public:
    explicit SystemError(int code);
    int code() const { return m_code; }

private:
    int m_code;
};

// Error codes reported when reading version data, numbered as on Windows.
namespace SystemErrorCode {
constexpr int FileNotFound = 2;
constexpr int ResourceTypeNotFound = 1813;
} // namespace SystemErrorCode

// Reads the version block of the program file fileName. Throws SystemError when the
// file cannot be read or has no version block or no translation table.
TEXEVersionData ReadEXEVersionData(const QString& fileName);

// The fixed file version of the program file; throws as ReadEXEVersionData does.
FixedFileVersion ReadEXEFixedVersion(const QString& fileName);

// "major.minor" of the fixed version, each as a decimal number.
QString FormatAppVersion(const FixedFileVersion& version);
