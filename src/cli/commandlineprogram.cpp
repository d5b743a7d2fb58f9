#include "cli/commandlineprogram.h"

#include "app/startup.h"
#include "cli/commandline.h"
#include "cli/convertcommand.h"
#include "platform/folders.h"
#include "platform/inifile.h"
#include "platform/versionresource.h"
#include "transcription/textbytes.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

QString FindApiKey(const QString& environmentValue, const QString& settingsIniPath)
{
    const QString fromEnvironment = Utf8Trim(environmentValue);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const auto saved =
        IniFile(settingsIniPath).readString(QStringLiteral("Settings"), QStringLiteral("Key"));
    return saved ? Utf8Trim(*saved) : QString();
}

QString MissingKeyText(const QString& settingsIniPath)
{
    return QStringLiteral(
               "parlotext: no API key for replicate.com.\n"
               "Get one at %1 and give it in one of two ways:\n"
               "  export REPLICATE_API_TOKEN=r8_...   (for this shell and the scripts it runs)\n"
               "  or enter it once in Parlotext's window (Conversion > Settings), which keeps "
               "it in\n  %2\n")
        .arg(Endpoints::compiledIn().replicateTokenPage().toString(), settingsIniPath);
}

namespace {

AppIdentity identityOrDefault()
{
    try {
        return ReadAppIdentity(QCoreApplication::applicationFilePath());
    } catch (const std::exception&) {
        AppIdentity identity;
        identity.AppCompany = QStringLiteral("QUILLON");
        identity.AppProduct = QStringLiteral("Parlotext");
        return identity;
    }
}

QString versionText()
{
    const QString file = QCoreApplication::applicationFilePath();
    try {
        const TEXEVersionData data = ReadEXEVersionData(file);
        const FixedFileVersion fixed = ReadEXEFixedVersion(file);
        return QStringLiteral("%1 %2.%3.%4.%5\n")
            .arg(data.ProductName)
            .arg(fixed.major)
            .arg(fixed.minor)
            .arg(fixed.build)
            .arg(fixed.revision);
    } catch (const std::exception& error) {
        return QStringLiteral("Parlotext (version unknown: %1)\n")
            .arg(QString::fromUtf8(error.what()));
    }
}

} // namespace

int RunCommandLine(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Parlotext"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    // File names are taken as the system encodes them, not as the locale decodes text.
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    const CommandLine line = ParseCommandLine(arguments);

    switch (line.action) {
    case CommandLine::Action::Help:
        out << UsageText() << Qt::flush;
        return ExitAllConverted;
    case CommandLine::Action::Version:
        out << versionText() << Qt::flush;
        return ExitAllConverted;
    case CommandLine::Action::BadUsage:
        err << "parlotext: " << PrintableText(line.error) << "\n\n" << UsageText() << Qt::flush;
        return ExitBadUsage;
    case CommandLine::Action::Convert:
        break;
    }

    // Every mistake of the command line is reported before the key is looked for.
    if (!line.outputFolder.isEmpty()) {
        const QString problem = OutputFolderProblem(line.outputFolder);
        if (!problem.isEmpty()) {
            err << "parlotext: " << problem << "\n\n" << UsageText() << Qt::flush;
            return ExitBadUsage;
        }
    }

    const AppIdentity identity = identityOrDefault();
    const QString settingsIni = ChooseDataFolder(ProgramFolder(), RoamingAppDataFolder(),
                                                 identity.AppCompany, identity.AppProduct) +
                                QStringLiteral("settings.ini");
    ConvertSetup setup;
    setup.endpoints = Endpoints::compiledIn();
    setup.apiKey = FindApiKey(qEnvironmentVariable("REPLICATE_API_TOKEN"), settingsIni);
    if (setup.apiKey.isEmpty()) {
        err << MissingKeyText(settingsIni) << Qt::flush;
        return ExitBadUsage;
    }
    return RunConvertCommand(line, setup, out, err);
}
