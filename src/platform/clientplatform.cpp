#include "platform/clientplatform.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

namespace {

// The user's locale, taken once: later changes of the environment do not alter what the
// program reports about itself.
const QLocale& startupLocale()
{
    static const QLocale locale = QLocale::system();
    return locale;
}

} // namespace

OsVersionInfo CurrentOsVersionInfo()
{
    OsVersionInfo info;
    info.productName = QSysInfo::prettyProductName();
    static const QRegularExpression release(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const auto match = release.match(QSysInfo::kernelVersion());
    if (match.hasMatch()) {
        info.major = match.captured(1).toInt();
        info.minor = match.captured(2).toInt();
        info.build = match.captured(3).toInt();
    }
    // The system's own architecture, not the program's: a 32-bit build on a 64-bit system
    // still reports a 64-bit edition.
    info.is64Bit = QSysInfo::currentCpuArchitecture().contains(QLatin1String("64"));
    return info;
}

QString GetOSDescription(const OsVersionInfo& info)
{
    const QString edition =
        info.is64Bit ? QStringLiteral("64-bit Edition") : QStringLiteral("32-bit Edition");
    QString name = info.productName;
    if (info.servicePack > 0)
        name += QStringLiteral(" Service Pack %1").arg(info.servicePack);
    return QStringLiteral("%1 (Version %2.%3, Build %4, %5)")
        .arg(name)
        .arg(info.major)
        .arg(info.minor)
        .arg(info.build)
        .arg(edition);
}

QString GetOSDescription()
{
    return GetOSDescription(CurrentOsVersionInfo());
}

QString GetLocaleCode(const QLocale& locale)
{
    // The C and POSIX locales (the default of many systems and containers) name no
    // language: the system gives none, so the user is taken as English (United States).
    if (locale.language() == QLocale::C)
        return GetLocaleCode(QLocale(QLocale::English, QLocale::UnitedStates));
    const QLocale::Language language = locale.language();
    const QLocale::Territory territory = locale.territory();
    if (language == QLocale::AnyLanguage || territory == QLocale::AnyTerritory)
        return QStringLiteral("xx");
    const QString languageCode = QLocale::languageToCode(language);
    const QString territoryCode = QLocale::territoryToCode(territory);
    if (languageCode.isEmpty() || territoryCode.isEmpty())
        return QStringLiteral("xx");
    return languageCode + QLatin1Char('-') + territoryCode;
}

QString GetLocaleCode()
{
    return GetLocaleCode(startupLocale());
}

QStringList DefaultMachineIdFiles()
{
    return {QStringLiteral("/etc/machine-id"), QStringLiteral("/var/lib/dbus/machine-id")};
}

QString GetMachineGuid(const QStringList& files)
{
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // An identifier is a short line; anything longer is not one.
        QByteArray content = file.read(4096);
        if (content.endsWith('\n'))
            content.chop(1);
        if (content.endsWith('\r'))
            content.chop(1);
        // An empty file (a system image before its first boot) holds no identifier yet.
        if (content.isEmpty())
            continue;
        for (const char c : content) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte >= 0x7f)
                throw MachineIdError("the machine identifier in " + path.toStdString() +
                                     " is not a line of text");
        }
        return QString::fromLatin1(content);
    }
    return {};
}

QString GetMachineGuid()
{
    return GetMachineGuid(DefaultMachineIdFiles());
}
