#include "transcription/localsource.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

std::optional<QString> LocalPathFromInput(const QString& input)
{
    if (input.trimmed().isEmpty())
        return std::nullopt;
    if (input.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(input.trimmed());
        if (url.isValid() && url.isLocalFile())
            return url.toLocalFile();
        return input.mid(5);
    }
    const QUrl url(input.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return std::nullopt;
    // Any other "scheme://..." is an address of some kind, not a file name.
    if (input.contains(QLatin1String("://")))
        return std::nullopt;
    return input;
}

QString LocalFileProblem(const QString& path)
{
    const QFileInfo info(path);
    const QString shown = QFileInfo(path).absoluteFilePath();
    if (!info.exists())
        return QStringLiteral("The file \"%1\" does not exist.").arg(shown);
    if (info.isDir())
        return QStringLiteral("\"%1\" is a folder. Please choose a recording file.").arg(shown);
    // A device or pipe has no size of its own (and opening a pipe would wait for a
    // writer); only a regular file is sent.
    if (!info.isFile())
        return QStringLiteral("\"%1\" is not a regular file.").arg(shown);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The file \"%1\" cannot be read: %2").arg(shown, file.errorString());
    if (info.size() == 0)
        return QStringLiteral("The file \"%1\" is empty.").arg(shown);
    return {};
}

bool LooksLikeVideo(const QString& path)
{
    static const QStringList kVideo = {
        QStringLiteral("mp4"),  QStringLiteral("m4v"), QStringLiteral("mkv"),
        QStringLiteral("webm"), QStringLiteral("mov"), QStringLiteral("avi"),
        QStringLiteral("wmv"),  QStringLiteral("flv"), QStringLiteral("mpg"),
        QStringLiteral("mpeg"), QStringLiteral("ts"),  QStringLiteral("mts"),
        QStringLiteral("m2ts"), QStringLiteral("3gp"), QStringLiteral("ogv"),
        QStringLiteral("vob"),  QStringLiteral("asf")};
    return kVideo.contains(QFileInfo(path).suffix().toLower());
}

QString FindHelperProgram(const QString& name, const QString& programFolder)
{
    if (!programFolder.isEmpty()) {
        const QString beside = QStandardPaths::findExecutable(name, {programFolder});
        if (!beside.isEmpty())
            return beside;
    }
    return QStandardPaths::findExecutable(name);
}
