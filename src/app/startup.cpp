#include "app/startup.h"

#include "core/endpoints.h"
#include "platform/folders.h"
#include "platform/versionresource.h"

#include <QDir>
#include <QFileInfo>

AppIdentity ReadAppIdentity(const QString& programFile)
{
    const TEXEVersionData data = ReadEXEVersionData(programFile);
    AppIdentity identity;
    identity.AppCompany = data.CompanyName;
    identity.AppProduct = data.ProductName;
    identity.AppVersion = FormatAppVersion(ReadEXEFixedVersion(programFile));
    identity.AppTitle = identity.AppCompany + QStringLiteral(" - ") + identity.AppProduct;
    return identity;
}

QString ChooseDataFolder(const QString& programFolder, const QString& appDataBase,
                         const QString& company, const QString& product)
{
    // An installed program's folder is shared by every user (and writable for root): its
    // settings stay per user.
    if (!IsInstalledProgramFolder(programFolder) && IsFolderWritable(programFolder))
        return QDir(programFolder).absolutePath() + QLatin1Char('/');
    // The company and product levels are made; a failure (the folder exists) is of no
    // concern. A fresh account may not have the base folder yet, so it is made too.
    QDir().mkpath(appDataBase);
    const QString companyFolder = appDataBase + QLatin1Char('/') + company;
    const QString productFolder = companyFolder + QLatin1Char('/') + product;
    QDir().mkdir(companyFolder);
    QDir().mkdir(productFolder);
    return productFolder + QLatin1Char('/');
}

QUrl HelpAddress(const QUrl& makerWeb, const QString& product)
{
    QString slug = product;
    for (QChar& c : slug) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    slug.replace(QLatin1Char(' '), QLatin1Char('-'));
    return JoinUrlPath(makerWeb, QStringLiteral("/help/") + slug + QLatin1Char('/'));
}

bool IsInstalledProgramFolder(const QString& programFolder)
{
    const QDir program(programFolder);
    return program.dirName() == QLatin1String("bin") &&
           QFileInfo(program.filePath(QStringLiteral("../share/parlotext"))).isDir();
}

QString ShippedFilesFolder(const QString& programFolder, const QString& entry)
{
    const QDir program(programFolder);
    if (QFileInfo::exists(program.filePath(entry)))
        return programFolder;
    const QString installed =
        QDir::cleanPath(program.filePath(QStringLiteral("../share/parlotext")));
    if (QFileInfo::exists(QDir(installed).filePath(entry)))
        return installed;
    return programFolder;
}

QString FileToOpen(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QFileInfo file(arguments[i]);
        if (!arguments[i].startsWith(QLatin1Char('-')) && file.isFile())
            return file.absoluteFilePath();
    }
    return {};
}
