// Where a program run from its build folder and one installed under a prefix find their
// shipped files and keep their settings.
#include "app/startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class InstalledLayoutTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return m_root.filePath(relative); }
    void makeFolder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(path(relative))); }
    void makeFile(const QString& relative)
    {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir m_root;
};

struct ShippedCase {
    const char* name;
    std::vector<const char*> folders;
    std::vector<const char*> files;
    const char* programFolder;
    const char* entry;
    const char* expected;
};

class ShippedFilesFolderTest : public InstalledLayoutTest,
                               public ::testing::WithParamInterface<ShippedCase> {};

TEST_P(ShippedFilesFolderTest, FindsTheFolderThatHoldsTheEntry)
{
    const ShippedCase& c = GetParam();
    for (const char* folder : c.folders)
        makeFolder(QString::fromUtf8(folder));
    for (const char* file : c.files)
        makeFile(QString::fromUtf8(file));
    EXPECT_EQ(QDir::cleanPath(ShippedFilesFolder(path(QString::fromUtf8(c.programFolder)),
                                                 QString::fromUtf8(c.entry))),
              QDir::cleanPath(path(QString::fromUtf8(c.expected))));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ShippedFilesFolderTest,
    ::testing::Values(ShippedCase{"BuildFolderWithLanguagesBesideTheProgram",
                                  {"build/Languages", "share/parlotext/Languages"},
                                  {},
                                  "build",
                                  "Languages",
                                  "build"},
                      ShippedCase{"InstalledProgramFindsShareParlotext",
                                  {"usr/bin", "usr/share/parlotext/Languages"},
                                  {},
                                  "usr/bin",
                                  "Languages",
                                  "usr/share/parlotext"},
                      ShippedCase{"InstalledLicence",
                                  {"usr/bin", "usr/share/parlotext"},
                                  {"usr/share/parlotext/license.txt"},
                                  "usr/bin",
                                  "license.txt",
                                  "usr/share/parlotext"},
                      ShippedCase{"LicenceBesideTheProgramWins",
                                  {"usr/bin", "usr/share/parlotext"},
                                  {"usr/bin/license.txt", "usr/share/parlotext/license.txt"},
                                  "usr/bin",
                                  "license.txt",
                                  "usr/bin"},
                      ShippedCase{"NeitherHasItKeepsTheProgramFolder",
                                  {"usr/bin", "usr/share/parlotext"},
                                  {},
                                  "usr/bin",
                                  "Languages",
                                  "usr/bin"},
                      ShippedCase{"AnotherProgramsShareFolderIsNotOurs",
                                  {"usr/bin", "usr/share/other/Languages"},
                                  {},
                                  "usr/bin",
                                  "Languages",
                                  "usr/bin"}),
    [](const ::testing::TestParamInfo<ShippedCase>& info) { return info.param.name; });

TEST_F(InstalledLayoutTest, InstalledProgramKeepsSettingsPerUserEvenWhereItMayWrite)
{
    // The temporary prefix is writable, as /usr/bin is for root.
    makeFolder(QStringLiteral("usr/bin"));
    makeFolder(QStringLiteral("usr/share/parlotext"));
    makeFolder(QStringLiteral("home/.config"));
    ASSERT_TRUE(IsInstalledProgramFolder(path(QStringLiteral("usr/bin"))));

    const QString folder =
        ChooseDataFolder(path(QStringLiteral("usr/bin")), path(QStringLiteral("home/.config")),
                         QStringLiteral("QUILLON"), QStringLiteral("Parlotext"));

    EXPECT_EQ(folder, path(QStringLiteral("home/.config/QUILLON/Parlotext/")));
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("usr/bin/chk.tmp"))));
}

TEST_F(InstalledLayoutTest, ProgramRunFromItsOwnFolderKeepsSettingsBesideIt)
{
    // A bin folder without share/parlotext beside it is not an installation.
    makeFolder(QStringLiteral("portable/bin"));
    makeFolder(QStringLiteral("home/.config"));
    ASSERT_FALSE(IsInstalledProgramFolder(path(QStringLiteral("portable/bin"))));

    const QString folder =
        ChooseDataFolder(path(QStringLiteral("portable/bin")), path(QStringLiteral("home/.config")),
                         QStringLiteral("QUILLON"), QStringLiteral("Parlotext"));

    EXPECT_EQ(folder, QDir(path(QStringLiteral("portable/bin"))).absolutePath() + QLatin1Char('/'));
    EXPECT_FALSE(QDir(path(QStringLiteral("home/.config/QUILLON"))).exists());
}

} // namespace

namespace {

TEST_F(InstalledLayoutTest, FileToOpenIsTheFirstExistingFileArgument)
{
    makeFile(QStringLiteral("talk one.mp3"));
    makeFile(QStringLiteral("talk two.mp3"));
    makeFolder(QStringLiteral("folder"));
    const QString first = path(QStringLiteral("talk one.mp3"));
    const QString second = path(QStringLiteral("talk two.mp3"));

    EXPECT_EQ(FileToOpen({QStringLiteral("parlotext")}), QString());
    EXPECT_EQ(FileToOpen({QStringLiteral("parlotext"), first, second}), first);
    // Options, folders and missing files are passed over.
    EXPECT_EQ(
        FileToOpen({QStringLiteral("parlotext"), QStringLiteral("-style"),
                    path(QStringLiteral("folder")), path(QStringLiteral("gone.mp3")), second}),
        second);
    // The program's own name is never a file to open.
    EXPECT_EQ(FileToOpen({first}), QString());
}

} // namespace
