#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <stdexcept>

// What the maker's service is told about the machine a request comes from: the operating
// system, the user's locale and the machine identifier. Every input can be given, so that
// tests decide what the system "is".

// The operating system's version information, as GetOSDescription lays it out.
struct OsVersionInfo {
    QString productName; // "Debian GNU/Linux 12 (bookworm)"
    int major = 0;       // kernel release numbers: 6.1.0 gives 6, 1, 0
    int minor = 0;
    int build = 0;
    int servicePack = 0; // 0 when none is installed (always on Linux)
    bool is64Bit = false;
};

// The running system's version information: the distribution's name and the kernel release.
OsVersionInfo CurrentOsVersionInfo();

// "name (Version major.minor, Build build, 64-bit Edition)", with " Service Pack n" after
// the name when one is installed.
QString GetOSDescription(const OsVersionInfo& info);
QString GetOSDescription();

// The locale as "language-COUNTRY" with two-letter codes where they exist (en-US), or "xx"
// when the locale names no country. The C locale, which names no language at all, counts
// as English (United States).
QString GetLocaleCode(const QLocale& locale);
// The code of the user's locale as captured at start-up.
QString GetLocaleCode();

// Raised when a machine-identifier file exists but does not hold an identifier.
class MachineIdError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The files that hold the machine identifier, in the order they are tried.
QStringList DefaultMachineIdFiles();

// The machine identifier as stored in the first readable, non-empty file of files, without
// its line break; empty when none can be read. Throws MachineIdError when a readable file holds
// anything but one line of printable text.
QString GetMachineGuid(const QStringList& files);
QString GetMachineGuid();
