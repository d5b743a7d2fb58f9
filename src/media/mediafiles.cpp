#include "media/mediafiles.h"

#include <QFile>

#include <functional>

#include <sys/stat.h>

namespace {

struct PathParts {
    QString folderAndName; // the folder with its delimiter, then the name without extension
    QString extension;     // with its dot; empty when the name has none
};

PathParts splitPath(const QString& path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A dot that starts the name (".profile") marks a hidden file, not an extension.
    if (dot <= nameStart)
        return {path, QString()};
    return {path.left(dot), path.mid(dot)};
}

bool fileExists(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool entryExists(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QString firstFree(const QString& path, const std::function<bool(const QString&)>& taken)
{
    if (!taken(path))
        return path;
    const PathParts parts = splitPath(path);
    for (qint64 n = 2;; ++n) {
        const QString candidate =
            parts.folderAndName + QStringLiteral(" (%1)").arg(n) + parts.extension;
        if (!taken(candidate))
            return candidate;
    }
}

} // namespace

QString UniqueFileName(const QString& path)
{
    return firstFree(path, fileExists);
}

QString FirstFreeFileName(const QString& path)
{
    return firstFree(path, entryExists);
}

QString FirstFreeFileName(const QString& path, const QSet<QString>& claimed)
{
    return firstFree(path, [&claimed](const QString& candidate) {
        return claimed.contains(candidate) || entryExists(candidate);
    });
}

qint64 FileSizeByName(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return S_ISREG(info.st_mode) ? static_cast<qint64>(info.st_size) : 0;
}

qint64 FileSizeByAttributes(const QString& path)
{
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return S_ISDIR(info.st_mode) ? 0 : static_cast<qint64>(info.st_size);
}
