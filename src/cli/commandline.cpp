#include "cli/commandline.h"

#include "transcription/modelnames.h"
#include "transcription/subtitletarget.h"

#include <QSet>

QString UsageText()
{
    return QStringLiteral(
               "Usage: parlotext --convert FILE_OR_URL... [--format vtt|srt] [--model NAME]\n"
               "                 [--output DIR] [--overwrite]\n"
               "       parlotext --help\n"
               "       parlotext --version\n"
               "\n"
               "Turns the speech in each recording into subtitles through Replicate.\n"
               "\n"
               "  --convert        convert the files and web addresses that follow\n"
               "  --format FORMAT  vtt (the default) or srt\n"
               "  --model NAME     the model size, %2 by default:\n"
               "                   %1\n"
               "  --output DIR     write the subtitles into DIR instead of beside each file\n"
               "  --overwrite      replace existing subtitle files instead of choosing a\n"
               "                   free \" (n)\" name\n"
               "  --help           show this text\n"
               "  --version        show the program's version\n"
               "\n"
               "The API key comes from the environment variable REPLICATE_API_TOKEN, or else\n"
               "from the key saved by the program's window.\n"
               "Written files are printed on standard output, one per line; progress and\n"
               "failures go to standard error.\n"
               "Exit status: 0 all converted, 1 some failed, 2 bad usage or no API key.\n")
        .arg(ModelNames().join(QStringLiteral(", ")), kDefaultModelName);
}

bool WantsCommandLine(int argc, char** argv)
{
    return argc > 1 && argv[1] != nullptr;
}

namespace {

CommandLine badUsage(const QString& error)
{
    CommandLine line;
    line.action = CommandLine::Action::BadUsage;
    line.error = error;
    return line;
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    line.modelName = kDefaultModelName;
    bool convert = false;
    bool help = false;
    bool version = false;
    bool formatGiven = false;
    bool modelGiven = false;
    bool outputGiven = false;
    bool optionsEnded = false;
    QStringList sources;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) ||
            argument == QLatin1String("-")) {
            sources.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = argument;
        QString value;
        bool hasValue = false;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size())
                return false;
            value = arguments.at(++i);
            return true;
        };
        const auto flag = [&](bool& seen) {
            if (hasValue)
                return false;
            seen = true;
            return true;
        };

        if (name == QLatin1String("--convert")) {
            if (!flag(convert))
                return badUsage(QStringLiteral("--convert takes no value"));
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            if (!flag(help))
                return badUsage(QStringLiteral("--help takes no value"));
        } else if (name == QLatin1String("--version")) {
            if (!flag(version))
                return badUsage(QStringLiteral("--version takes no value"));
        } else if (name == QLatin1String("--overwrite")) {
            if (!flag(line.overwrite))
                return badUsage(QStringLiteral("--overwrite takes no value"));
        } else if (name == QLatin1String("--format")) {
            if (formatGiven)
                return badUsage(QStringLiteral("--format is given twice"));
            if (!takeValue())
                return badUsage(QStringLiteral("--format needs a value: vtt or srt"));
            formatGiven = true;
            const QString format = value.toLower();
            if (format == QLatin1String("vtt"))
                line.vtt = true;
            else if (format == QLatin1String("srt"))
                line.vtt = false;
            else
                return badUsage(QStringLiteral("unknown format \"%1\"; use vtt or srt").arg(value));
        } else if (name == QLatin1String("--model")) {
            if (modelGiven)
                return badUsage(QStringLiteral("--model is given twice"));
            if (!takeValue())
                return badUsage(QStringLiteral("--model needs a value"));
            modelGiven = true;
            if (!IsModelName(value))
                return badUsage(QStringLiteral("unknown model \"%1\"; use one of: %2")
                                    .arg(value, ModelNames().join(QStringLiteral(", "))));
            line.modelName = value;
        } else if (name == QLatin1String("--output")) {
            if (outputGiven)
                return badUsage(QStringLiteral("--output is given twice"));
            if (!takeValue() || value.isEmpty())
                return badUsage(QStringLiteral("--output needs a folder"));
            outputGiven = true;
            line.outputFolder = value;
        } else {
            return badUsage(QStringLiteral("unknown option \"%1\"").arg(argument));
        }
    }

    if (help) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (version) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (!convert)
        return badUsage(sources.isEmpty() ? QStringLiteral("nothing to do")
                                          : QStringLiteral("files are converted with --convert"));
    if (sources.isEmpty())
        return badUsage(QStringLiteral("--convert needs at least one file or web address"));

    QSet<QString> seen;
    seen.reserve(sources.size());
    for (const QString& source : std::as_const(sources)) {
        if (source.isEmpty())
            return badUsage(QStringLiteral("an empty file name was given"));
        const QString identity = SourceIdentity(source);
        if (seen.contains(identity)) {
            line.repeated.append(source);
            continue;
        }
        seen.insert(identity);
        line.sources.append(source);
    }
    line.action = CommandLine::Action::Convert;
    return line;
}
