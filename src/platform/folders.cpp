#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

bool IsFolderWritable(const QString& folder)
{
    const QByteArray probe = QFile::encodeName(QDir(folder).filePath(QStringLiteral("chk.tmp")));
    const int handle = ::open(probe.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (handle < 0)
        return false;
    ::close(handle);
    ::unlink(probe.constData());
    return true;
}

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString RoamingAppDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString DesktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}
