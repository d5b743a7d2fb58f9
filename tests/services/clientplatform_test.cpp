// What the maker's service is told about the machine: system, locale, machine identifier.
#include "platform/clientplatform.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(GetOSDescription, NamesTheSystemItsVersionBuildAndEdition)
{
    OsVersionInfo info;
    info.productName = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    info.major = 6;
    info.minor = 1;
    info.build = 0;
    info.is64Bit = true;
    EXPECT_EQ(
        GetOSDescription(info),
        QStringLiteral("Debian GNU/Linux 12 (bookworm) (Version 6.1, Build 0, 64-bit Edition)"));
    info.is64Bit = false;
    info.servicePack = 2;
    info.build = 17;
    EXPECT_EQ(
        GetOSDescription(info),
        QStringLiteral("Debian GNU/Linux 12 (bookworm) Service Pack 2 (Version 6.1, Build 17, "
                       "32-bit Edition)"));
}

TEST(GetOSDescription, TheRunningSystemFitsTheFormat)
{
    const QString description = GetOSDescription();
    EXPECT_TRUE(description.contains(QRegularExpression(
        QStringLiteral("^.+ \\(Version \\d+\\.\\d+, Build \\d+, (32|64)-bit Edition\\)$"))))
        << description.toStdString();
}

struct LocaleCase {
    const char* locale;
    const char* code;
};

class GetLocaleCodeTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(GetLocaleCodeTest, GivesLanguageAndCountryOrXx)
{
    const LocaleCase& c = GetParam();
    EXPECT_EQ(GetLocaleCode(QLocale(QString::fromLatin1(c.locale))).toStdString(), c.code)
        << c.locale;
}

INSTANTIATE_TEST_SUITE_P(Table, GetLocaleCodeTest,
                         ::testing::Values(LocaleCase{"en_US", "en-US"},
                                           LocaleCase{"de_AT", "de-AT"},
                                           LocaleCase{"pt_BR", "pt-BR"},
                                           LocaleCase{"ja_JP", "ja-JP"},
                                           // The C and POSIX locales name no language: the
                                           // system gives none, so English (United States).
                                           LocaleCase{"C", "en-US"}, LocaleCase{"POSIX", "en-US"}));

TEST(GetLocaleCode, NoUsableLocaleGivesEnglishUnitedStates)
{
    EXPECT_EQ(GetLocaleCode(QLocale::c()), QStringLiteral("en-US"));
}

class GetMachineGuidTest : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& content)
    {
        const QString path = folder.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QTemporaryDir folder;
};

TEST_F(GetMachineGuidTest, ReadsTheFirstFileAsStoredWithoutItsLineBreak)
{
    const QString first = write("machine-id", "0123456789ABCdef0123456789abcdef\n");
    const QString second = write("dbus-machine-id", "ffffffffffffffffffffffffffffffff\n");
    EXPECT_EQ(GetMachineGuid({first, second}), QStringLiteral("0123456789ABCdef0123456789abcdef"));
}

TEST_F(GetMachineGuidTest, FallsBackToTheSecondFileAndIsEmptyWhenNoneCanBeRead)
{
    const QString missing = folder.filePath(QStringLiteral("missing"));
    const QString second = write("dbus-machine-id", "abc123\n");
    EXPECT_EQ(GetMachineGuid({missing, second}), QStringLiteral("abc123"));
    EXPECT_EQ(GetMachineGuid({missing}), QString());
    EXPECT_EQ(GetMachineGuid(QStringList{}), QString());
}

TEST_F(GetMachineGuidTest, AnEmptyFirstFileFallsBackToTheSecond)
{
    const QString second = write("dbus-machine-id", "abc123\n");
    for (const QByteArray& empty : {QByteArray(), QByteArray("\n"), QByteArray("\r\n")}) {
        const QString first = write("machine-id", empty);
        EXPECT_EQ(GetMachineGuid({first, second}), QStringLiteral("abc123"))
            << empty.toHex().toStdString();
        EXPECT_EQ(GetMachineGuid({first}), QString());
    }
}

TEST_F(GetMachineGuidTest, AFileThatHoldsNoTextLineIsAFailure)
{
    EXPECT_THROW(GetMachineGuid({write("binary", QByteArray("ab\0cd", 5))}), MachineIdError);
    EXPECT_THROW(GetMachineGuid({write("two-lines", "abc\ndef\n")}), MachineIdError);
}
