#include "platform/folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(IsFolderWritable, WritableFolderPassesAndTheProbeIsGoneAfterwards)
{
    QTemporaryDir folder;
    EXPECT_TRUE(IsFolderWritable(folder.path()));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("chk.tmp"))));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST(IsFolderWritable, StaleProbeFileMakesTheFolderCountAsNotWritable)
{
    QTemporaryDir folder;
    QFile stale(folder.filePath(QStringLiteral("chk.tmp")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    EXPECT_FALSE(IsFolderWritable(folder.path()));
    EXPECT_TRUE(QFile::exists(stale.fileName())) << "someone else's file must not be deleted";
}

TEST(IsFolderWritable, MissingFolderIsNotWritable)
{
    QTemporaryDir folder;
    EXPECT_FALSE(IsFolderWritable(folder.filePath(QStringLiteral("missing"))));
}

TEST(IsFolderWritable, ReadOnlyFolderIsNotWritable)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind the super-user";
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(IsFolderWritable(folder.path()));
    QFile::setPermissions(folder.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
