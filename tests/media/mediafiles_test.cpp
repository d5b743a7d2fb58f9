// UniqueFileName, FileSizeByName and FileSizeByAttributes against real folders.
#include "media/mediafiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Builds the entries a case needs: "f:name" a file, "f:name=content", "d:name" a folder,
// "l:name>target" a symbolic link.
void makeEntries(const QDir& root, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QString kind = entry.left(2);
        const QString rest = entry.mid(2);
        if (kind == QLatin1String("d:")) {
            ASSERT_TRUE(root.mkpath(rest));
        } else if (kind == QLatin1String("l:")) {
            const QString name = rest.section(QLatin1Char('>'), 0, 0);
            const QString target = rest.section(QLatin1Char('>'), 1);
            ASSERT_TRUE(QFile::link(target, root.filePath(name)));
        } else {
            QFile file(root.filePath(rest.section(QLatin1Char('='), 0, 0)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(rest.section(QLatin1Char('='), 1).toUtf8());
        }
    }
}

struct UniqueCase {
    const char* name;
    QStringList entries;
    QString path;     // relative to the folder
    QString expected; // relative to the folder
};

class UniqueFileNameTest : public ::testing::TestWithParam<UniqueCase> {};

TEST_P(UniqueFileNameTest, GivesTheFirstFreeVariant)
{
    QTemporaryDir folder;
    const QDir root(folder.path());
    makeEntries(root, GetParam().entries);
    EXPECT_EQ(UniqueFileName(root.filePath(GetParam().path)), root.filePath(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UniqueFileNameTest,
    ::testing::Values(
        UniqueCase{"FreePathUnchanged", {}, QStringLiteral("temp.wav"), QStringLiteral("temp.wav")},
        UniqueCase{"TakenGivesTwo",
                   {QStringLiteral("f:temp.wav")},
                   QStringLiteral("temp.wav"),
                   QStringLiteral("temp (2).wav")},
        UniqueCase{"TwoTakenGivesThree",
                   {QStringLiteral("f:temp.wav"), QStringLiteral("f:temp (2).wav")},
                   QStringLiteral("temp.wav"),
                   QStringLiteral("temp (3).wav")},
        UniqueCase{"GapIsFilled",
                   {QStringLiteral("f:temp.wav"), QStringLiteral("f:temp (3).wav")},
                   QStringLiteral("temp.wav"),
                   QStringLiteral("temp (2).wav")},
        UniqueCase{"FolderDoesNotCount",
                   {QStringLiteral("d:temp.wav")},
                   QStringLiteral("temp.wav"),
                   QStringLiteral("temp.wav")},
        UniqueCase{"LinkCountsAsItsFile",
                   {QStringLiteral("f:real.wav"), QStringLiteral("l:temp.wav>real.wav")},
                   QStringLiteral("temp.wav"),
                   QStringLiteral("temp (2).wav")},
        UniqueCase{"DanglingLinkIsNoFile",
                   {QStringLiteral("l:temp.wav>gone.wav")},
                   QStringLiteral("temp.wav"),
                   QStringLiteral("temp.wav")},
        UniqueCase{"NoExtension",
                   {QStringLiteral("f:notes")},
                   QStringLiteral("notes"),
                   QStringLiteral("notes (2)")},
        UniqueCase{"LastDotStartsTheExtension",
                   {QStringLiteral("f:a.tar.gz")},
                   QStringLiteral("a.tar.gz"),
                   QStringLiteral("a.tar (2).gz")},
        UniqueCase{"DotInFolderNotAnExtension",
                   {QStringLiteral("d:my.folder"), QStringLiteral("f:my.folder/notes")},
                   QStringLiteral("my.folder/notes"),
                   QStringLiteral("my.folder/notes (2)")},
        UniqueCase{"HiddenFileHasNoExtension",
                   {QStringLiteral("f:.profile")},
                   QStringLiteral(".profile"),
                   QStringLiteral(".profile (2)")},
        UniqueCase{"BlanksKept",
                   {QStringLiteral("f:My Record.wav")},
                   QStringLiteral("My Record.wav"),
                   QStringLiteral("My Record (2).wav")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FirstFreeFileNameTest, AFolderInTheWayIsSteppedOver)
{
    QTemporaryDir folder;
    const QDir root(folder.path());
    makeEntries(root, {QStringLiteral("d:temp.ogg/inside"), QStringLiteral("f:temp (2).ogg")});
    EXPECT_EQ(FirstFreeFileName(root.filePath(QStringLiteral("temp.ogg"))),
              root.filePath(QStringLiteral("temp (3).ogg")));
    EXPECT_EQ(FirstFreeFileName(root.filePath(QStringLiteral("free.ogg"))),
              root.filePath(QStringLiteral("free.ogg")));
}

struct SizeCase {
    const char* name;
    QStringList entries;
    QString path;
    qint64 byName;
    qint64 byAttributes;
};

class FileSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FileSizeTest, GivesTheSizeOrMinusOne)
{
    QTemporaryDir folder;
    const QDir root(folder.path());
    makeEntries(root, GetParam().entries);
    const QString path = GetParam().path.isEmpty() ? QString() : root.filePath(GetParam().path);
    EXPECT_EQ(FileSizeByName(path), GetParam().byName);
    EXPECT_EQ(FileSizeByAttributes(path), GetParam().byAttributes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileSizeTest,
    ::testing::Values(
        SizeCase{"Missing", {}, QStringLiteral("none.wav"), -1, -1},
        SizeCase{"EmptyPath", {}, QString(), -1, -1},
        SizeCase{"EmptyFile", {QStringLiteral("f:empty.wav")}, QStringLiteral("empty.wav"), 0, 0},
        SizeCase{
            "FiveBytes", {QStringLiteral("f:five.wav=12345")}, QStringLiteral("five.wav"), 5, 5},
        SizeCase{"Folder", {QStringLiteral("d:folder.wav")}, QStringLiteral("folder.wav"), 0, 0},
        SizeCase{"LinkToFile",
                 {QStringLiteral("f:five.wav=12345"), QStringLiteral("l:link.wav>five.wav")},
                 QStringLiteral("link.wav"),
                 0,
                 5},
        SizeCase{"WildcardTakenLiterally",
                 {QStringLiteral("f:five.wav=12345")},
                 QStringLiteral("*.wav"),
                 -1,
                 -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileSizeTest, FileOverFourGibibytesCountsByItsFullSize)
{
    QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath(QStringLiteral("big.wav")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // A sparse file: the size is real, the disk space is not used.
    const qint64 size = (qint64(5) << 30) + 7;
    if (!file.resize(size))
        GTEST_SKIP() << "the file system cannot hold a file of 5 GiB";
    file.close();
    EXPECT_EQ(FileSizeByName(file.fileName()), size);
    EXPECT_EQ(FileSizeByAttributes(file.fileName()), size);
}

} // namespace
