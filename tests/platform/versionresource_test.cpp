#include "platform/versionresource.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// This test program carries the program's own version block.
QString thisProgram()
{
    return QCoreApplication::applicationFilePath();
}

TEST(VersionResource, ReadsTheProgramsOwnStrings)
{
    const TEXEVersionData data = ReadEXEVersionData(thisProgram());
    EXPECT_EQ(data.CompanyName, QStringLiteral("QUILLON"));
    EXPECT_EQ(data.FileDescription, QStringLiteral("Parlotext"));
    EXPECT_EQ(data.FileVersion, QStringLiteral("1.3.0.0"));
    EXPECT_EQ(data.InternalName, QStringLiteral("Parlotext"));
    // The block spells the key OriginalFilename; the lookup ignores case.
    EXPECT_EQ(data.OriginalFileName, QStringLiteral("parlotext.exe"));
    EXPECT_EQ(data.ProductName, QStringLiteral("Parlotext"));
    EXPECT_EQ(data.ProductVersion, QStringLiteral("1.3.0.0"));
    for (const QString* absent : {&data.LegalCopyright, &data.LegalTrademarks, &data.Comments,
                                  &data.PrivateBuild, &data.SpecialBuild})
        EXPECT_TRUE(absent->isEmpty());
}

struct VersionCase {
    const char* file;
    const char* appVersion;
    const char* company;
};

class AppVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(AppVersionTest, IsMajorDotMinorOfTheFixedVersion)
{
    const QString file = QString::fromUtf8(GetParam().file).isEmpty()
                             ? thisProgram()
                             : QString::fromUtf8(GetParam().file);
    EXPECT_EQ(FormatAppVersion(ReadEXEFixedVersion(file)), QLatin1String(GetParam().appVersion));
    // The second file's strings sit in another translation's table ("040704B0").
    EXPECT_EQ(ReadEXEVersionData(file).CompanyName, QLatin1String(GetParam().company));
}

INSTANTIATE_TEST_SUITE_P(Files, AppVersionTest,
                         ::testing::Values(VersionCase{"", "1.3", "QUILLON"},
                                           VersionCase{VERSION_SAMPLE_2_10, "2.10",
                                                       "Other Maker"}));

TEST(VersionResource, FileWithoutVersionDataRaisesTheSystemError)
{
    QTemporaryDir folder;
    // A real program file, copied, is not needed: any file without the block will do,
    // including an ELF file of the system's.
    for (const QString& file :
         {QStringLiteral("/bin/true"), folder.filePath(QStringLiteral("text.txt"))}) {
        if (!file.startsWith(QLatin1String("/bin"))) {
            QFile text(file);
            ASSERT_TRUE(text.open(QIODevice::WriteOnly));
            text.write("no version here");
        }
        try {
            ReadEXEVersionData(file);
            FAIL() << "no error for " << file.toStdString();
        } catch (const SystemError& error) {
            EXPECT_EQ(error.code(), 1813);
            EXPECT_STREQ(error.what(),
                         "System Error.  Code: 1813.\n"
                         "The specified resource type cannot be found in the image file.");
        }
    }
}

TEST(VersionResource, MissingFileRaisesFileNotFound)
{
    try {
        ReadEXEFixedVersion(QStringLiteral("/nonexistent/parlotext"));
        FAIL() << "no error";
    } catch (const SystemError& error) {
        EXPECT_EQ(error.code(), 2);
        EXPECT_STREQ(error.what(),
                     "System Error.  Code: 2.\nThe system cannot find the file specified.");
    }
}

} // namespace
