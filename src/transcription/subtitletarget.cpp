#include "transcription/subtitletarget.h"

#include "media/mediafiles.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

bool IsWebAddress(const QString& source)
{
    return source.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           source.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

namespace {

// A file:// address names a local file.
QString LocalPath(const QString& source)
{
    if (source.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(source).toLocalFile();
    return source;
}

} // namespace

QString SourceIdentity(const QString& source)
{
    if (IsWebAddress(source))
        return source;
    const QFileInfo info(LocalPath(source));
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString SourceDisplayName(const QString& source)
{
    if (IsWebAddress(source))
        return source;
    return QFileInfo(LocalPath(source)).fileName();
}

QString SubtitleTargetPath(const QString& source, const QString& outputFolder, bool vtt,
                           bool overwrite, const QSet<QString>& claimed)
{
    QString folder;
    QString baseName;
    if (IsWebAddress(source)) {
        baseName = QFileInfo(QUrl(source).path()).completeBaseName();
        if (baseName.isEmpty())
            baseName = QStringLiteral("subtitles");
        folder = outputFolder.isEmpty() ? QDir::currentPath() : outputFolder;
    } else {
        const QFileInfo info(LocalPath(source));
        baseName = info.completeBaseName();
        if (baseName.isEmpty())
            baseName = info.fileName();
        folder = outputFolder.isEmpty() ? info.absolutePath() : outputFolder;
    }
    // A control character (a line break) in the new file's name would break every list
    // that shows it one name a line; it becomes "_".
    for (QChar& c : baseName) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('_');
    }
    const QString wanted = QDir(folder).absoluteFilePath(
        baseName + (vtt ? QStringLiteral(".vtt") : QStringLiteral(".srt")));

    const bool isSource = !IsWebAddress(source) && SourceIdentity(wanted) == SourceIdentity(source);
    if (overwrite && !isSource && !claimed.contains(wanted) && !QFileInfo(wanted).isDir())
        return wanted;
    // The " (n)" rule; a name claimed earlier in this run is stepped over too, even while its
    // file is still being written.
    return FirstFreeFileName(wanted, claimed);
}
