#include "platform/inifile.h"

#include "platform/backgroundiniwriter.h"

#include "support/unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path() const { return m_folder.filePath(QStringLiteral("settings.ini")); }

    QByteArray fileBytes() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void writeFileBytes(const QByteArray& bytes) const
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_folder;
};

TEST_F(IniFileTest, MissingFileReadsNothingAndFirstWriteCreatesIt)
{
    IniFile ini(path());
    EXPECT_FALSE(ini.readString(QStringLiteral("Settings"), QStringLiteral("Key")).has_value());
    ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("r8_abc"));
    EXPECT_EQ(fileBytes(), QByteArray("[Settings]\nKey=r8_abc\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("Settings"), QStringLiteral("Key")),
              QStringLiteral("r8_abc"));
}

TEST_F(IniFileTest, ValuesAreStoredRawWithTheirBlanks)
{
    IniFile ini(path());
    for (const QString& value :
         {QStringLiteral("  key with blanks  "), QString(), QStringLiteral("a=b;c")}) {
        ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), value);
        EXPECT_EQ(ini.readString(QStringLiteral("Settings"), QStringLiteral("Key")), value);
    }
}

TEST_F(IniFileTest, EmptyValueIsFoundAsEmptyText)
{
    writeFileBytes("[Settings]\r\nKey=\r\n");
    const auto value =
        IniFile(path()).readString(QStringLiteral("Settings"), QStringLiteral("Key"));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, QString());
}

TEST_F(IniFileTest, SectionAndKeyAreFoundWithoutRegardToCase)
{
    writeFileBytes("[settings]\nKEY=secret\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString(QStringLiteral("Settings"), QStringLiteral("Key")),
              QStringLiteral("secret"));
    ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("new"));
    EXPECT_EQ(fileBytes(), QByteArray("[settings]\nKey=new\n"));
}

TEST_F(IniFileTest, OtherSectionsKeysAndLinesAreKept)
{
    writeFileBytes(
        "; written by "
        "hand\r\n[Window]\r\nLeft=10\r\n\r\n[Settings]\r\nOther=1\r\n\r\n[Last]\r\nX=y\r\n");
    IniFile ini(path());
    ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("k"));
    EXPECT_EQ(fileBytes(),
              QByteArray("; written by hand\r\n[Window]\r\nLeft=10\r\n\r\n[Settings]\r\nOther=1\r\n"
                         "Key=k\r\n\r\n[Last]\r\nX=y\r\n"));
    ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("k2"));
    EXPECT_EQ(ini.readString(QStringLiteral("Window"), QStringLiteral("Left")),
              QStringLiteral("10"));
    EXPECT_EQ(ini.readString(QStringLiteral("Last"), QStringLiteral("X")), QStringLiteral("y"));
    EXPECT_EQ(ini.readString(QStringLiteral("Settings"), QStringLiteral("Key")),
              QStringLiteral("k2"));
}

TEST_F(IniFileTest, KeyOfAnotherSectionIsNotTaken)
{
    writeFileBytes("[Other]\nKey=wrong\n");
    IniFile ini(path());
    EXPECT_FALSE(ini.readString(QStringLiteral("Settings"), QStringLiteral("Key")).has_value());
    ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("right"));
    EXPECT_EQ(ini.readString(QStringLiteral("Other"), QStringLiteral("Key")),
              QStringLiteral("wrong"));
    EXPECT_EQ(ini.readString(QStringLiteral("Settings"), QStringLiteral("Key")),
              QStringLiteral("right"));
}

TEST_F(IniFileTest, FileIsReadableByItsOwnerOnly)
{
    IniFile ini(path());
    ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("secret"));
    const QFileDevice::Permissions groupAndOthers =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
        QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_FALSE(QFileInfo(path()).permissions() & groupAndOthers);
    EXPECT_TRUE(QFileInfo(path()).permissions() & QFileDevice::ReadOwner);
}

TEST_F(IniFileTest, ReplacingTheFileLeavesNoTemporaryFilesBehind)
{
    IniFile ini(path());
    for (int i = 0; i < 5; ++i)
        ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QString::number(i));
    QDir folder(m_folder.path());
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("settings.ini")});
}

TEST_F(IniFileTest, TwoWritersSideBySideKeepEachOthersValues)
{
    // Two copies of the program, each with its own file object, writing at the same time.
    IniFile first(path());
    IniFile second(path());
    constexpr int kWrites = 60;
    std::thread a([&] {
        for (int i = 0; i < kWrites; ++i)
            first.writeString(QStringLiteral("Settings"), QStringLiteral("Key"),
                              QStringLiteral("a%1").arg(i));
    });
    std::thread b([&] {
        for (int i = 0; i < kWrites; ++i)
            second.writeString(QStringLiteral("Other"), QStringLiteral("Value"),
                               QStringLiteral("b%1").arg(i));
    });
    a.join();
    b.join();
    IniFile reader(path());
    EXPECT_EQ(reader.readString(QStringLiteral("Settings"), QStringLiteral("Key")),
              QStringLiteral("a%1").arg(kWrites - 1));
    EXPECT_EQ(reader.readString(QStringLiteral("Other"), QStringLiteral("Value")),
              QStringLiteral("b%1").arg(kWrites - 1));
}

TEST_F(IniFileTest, AFileThatCannotBeReadIsNeverReplacedByAWrite)
{
    const QByteArray stored = "[Settings]\nLanguage=German.lang.txt\nKey=old\n[Other]\nKeep=1\n";
    writeFileBytes(stored);
    // The folder is writable by everyone, the file readable by no one.
    ASSERT_TRUE(QFile::setPermissions(m_folder.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::Permissions()));
    bool refused = false;
    std::string message;
    {
        UnprivilegedScope user;
        if (!user.permissionsApply())
            GTEST_SKIP() << "cannot run as an ordinary user here";
        IniFile ini(path());
        try {
            ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"),
                            QStringLiteral("new"));
        } catch (const IniWriteError& error) {
            refused = true;
            message = error.what();
        }
    }
    EXPECT_TRUE(refused);
    EXPECT_NE(message.find("settings.ini"), std::string::npos) << message;
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(fileBytes(), stored);
}

TEST_F(IniFileTest, AValueWithALineBreakIsRefusedAndTheFileKept)
{
    writeFileBytes("[Settings]\nKey=old\n");
    IniFile ini(path());
    for (const char* value : {"a\nLanguage=x", "a\r", "\r\nb"}) {
        EXPECT_THROW(ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"),
                                     QString::fromLatin1(value)),
                     IniWriteError)
            << value;
    }
    EXPECT_EQ(fileBytes(), QByteArray("[Settings]\nKey=old\n"));
}

TEST_F(IniFileTest, FailedWriteRaisesAnErrorNamingTheFile)
{
    IniFile ini(m_folder.filePath(QStringLiteral("missing-folder/settings.ini")));
    try {
        ini.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("x"));
        FAIL() << "the write should have failed";
    } catch (const IniWriteError& error) {
        EXPECT_NE(std::string(error.what()).find("missing-folder/settings.ini"), std::string::npos)
            << error.what();
    }
}

} // namespace

// ---- writes on a thread of their own ----

namespace {

class BackgroundIniWriterTest : public ::testing::Test {
protected:
    QString path() const { return m_folder.filePath(QStringLiteral("settings.ini")); }
    std::optional<QString> stored(const QString& key) const
    {
        return IniFile(path()).readString(QStringLiteral("Settings"), key);
    }
    QTemporaryDir m_folder;
};

TEST_F(BackgroundIniWriterTest, ABusyFileNeverHoldsUpTheCallerAndTheLatestValueWins)
{
    IniFile(path()).writeString(QStringLiteral("Other"), QStringLiteral("Keep"),
                                QStringLiteral("1"));
    // Another program holds the file, as a slow disk would: nothing can be written yet.
    QLockFile busy(path() + QStringLiteral(".lock"));
    ASSERT_TRUE(busy.lock());
    BackgroundIniWriter writer(path());
    QSignalSpy failures(&writer, &BackgroundIniWriter::writeFailed);
    for (const char* typed : {"r", "r8", "r8_", "r8_k"})
        writer.writeString(QStringLiteral("Settings"), QStringLiteral("Key"),
                           QString::fromLatin1(typed));
    writer.writeString(QStringLiteral("Settings"), QStringLiteral("Language"),
                       QStringLiteral("German.lang.txt"));
    // Every call has returned although nothing could reach the disk.
    EXPECT_FALSE(writer.isIdle());
    EXPECT_EQ(stored(QStringLiteral("Key")), std::nullopt);

    busy.unlock();
    writer.flush();
    EXPECT_TRUE(writer.isIdle());
    EXPECT_EQ(stored(QStringLiteral("Key")), QStringLiteral("r8_k"));
    EXPECT_EQ(stored(QStringLiteral("Language")), QStringLiteral("German.lang.txt"));
    EXPECT_EQ(IniFile(path()).readString(QStringLiteral("Other"), QStringLiteral("Keep")),
              QStringLiteral("1"));
    QCoreApplication::processEvents();
    EXPECT_EQ(failures.count(), 0);
}

TEST_F(BackgroundIniWriterTest, WhatWaitsIsWrittenWhenTheWriterGoes)
{
    {
        BackgroundIniWriter writer(path());
        for (int i = 0; i < 50; ++i)
            writer.writeString(QStringLiteral("Settings"), QStringLiteral("Key"),
                               QString::number(i));
    }
    EXPECT_EQ(stored(QStringLiteral("Key")), QStringLiteral("49"));
}

TEST_F(BackgroundIniWriterTest, AFailedWriteIsReportedOnTheOwnersThread)
{
    BackgroundIniWriter writer(m_folder.filePath(QStringLiteral("gone/settings.ini")));
    QSignalSpy failures(&writer, &BackgroundIniWriter::writeFailed);
    writer.writeString(QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("x"));
    writer.flush();
    ASSERT_TRUE(failures.count() == 1 || failures.wait(5000));
    EXPECT_TRUE(failures.at(0).at(0).toString().contains(QStringLiteral("gone/settings.ini")));
}

} // namespace
