#include "media/tempaudio.h"

#include "media/mediafiles.h"
#include "platform/mediaplatform.h"

#include <QFile>

#include <exception>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool regularFileExists(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

QString errorText(const std::exception& error)
{
    return QString::fromLocal8Bit(error.what());
}

} // namespace

TempAudioRecipe RecipeFor(TempAudioKind kind)
{
    switch (kind) {
    case TempAudioKind::Mp3:
        return {QStringLiteral("temp.mp3"), QString(), false};
    case TempAudioKind::Wav:
        return {QStringLiteral("temp.wav"), QStringLiteral("-ac 1"), true};
    case TempAudioKind::Ogg:
        return {QStringLiteral("temp.ogg"), QStringLiteral("-c:a libvorbis -q:a 4"), false};
    }
    return {};
}

QString QuotedForShell(const QString& path)
{
    QString quoted;
    quoted.reserve(path.size() + 2);
    quoted += QLatin1Char('"');
    for (const QChar c : path) {
        if (c == u'\\' || c == u'"' || c == u'$' || c == u'`')
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString FfmpegCommandLine(const QString& program, const QString& source,
                          const QString& extraArguments, const QString& target)
{
    // The bare name is looked up on PATH; a path to the copy beside the program is quoted.
    const QString programPart =
        program.contains(QLatin1Char('/')) ? QuotedForShell(program) : program;
    return programPart + QStringLiteral(" -y -i ") + QuotedForShell(source) + QLatin1Char(' ') +
           extraArguments + QLatin1Char(' ') + QuotedForShell(target);
}

QString ConvertToTempAudio(TempAudioKind kind, const QString& source, const QString& dataFolder,
                           const QString& programFolder, TempAudioHost& host)
{
    const TempAudioRecipe recipe = RecipeFor(kind);
    QString result;
    QString target = dataFolder + recipe.targetName;
    // An old file that cannot be removed is steered around. A folder in the way counts too,
    // since ffmpeg could not write there either.
    ::unlink(QFile::encodeName(target).constData());
    target = FirstFreeFileName(target);

    host.showStatus(QStringLiteral("Converting ") + fileNamePart(source) + QStringLiteral("..."));
    bool busy = false;
    try {
        const QString workingFolder = programFolder;
        const QString commandLine =
            FfmpegCommandLine(FfmpegProgram(programFolder), source, recipe.extraArguments, target);
        host.setBusyCursor(true);
        busy = true;
        host.runCommand(commandLine, workingFolder);
        busy = false;
        host.setBusyCursor(false);
        if (regularFileExists(target) && FileSizeByName(target) > 0)
            result = target;
    } catch (const std::exception& error) {
        if (busy)
            host.setBusyCursor(false);
        host.showError(errorText(error));
    }
    if (recipe.clearsStatus)
        host.showStatus(QString());
    return result;
}
