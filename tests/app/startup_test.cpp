#include "app/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ReadAppIdentity, ComesFromTheProgramsVersionBlock)
{
    const AppIdentity identity = ReadAppIdentity(QCoreApplication::applicationFilePath());
    EXPECT_EQ(identity.AppCompany, QStringLiteral("QUILLON"));
    EXPECT_EQ(identity.AppProduct, QStringLiteral("Parlotext"));
    EXPECT_EQ(identity.AppTitle, QStringLiteral("QUILLON - Parlotext"));
    EXPECT_EQ(identity.AppVersion, QStringLiteral("1.3"));
}

class ChooseDataFolderTest : public ::testing::Test {
protected:
    QString programFolder() const { return m_root.filePath(QStringLiteral("program")); }
    QString appData() const { return m_root.filePath(QStringLiteral("appdata")); }
    QString perUserFolder() const { return appData() + QStringLiteral("/QUILLON/Parlotext/"); }

    void SetUp() override
    {
        QDir().mkpath(programFolder());
        QDir().mkpath(appData());
    }

    QTemporaryDir m_root;
};

TEST_F(ChooseDataFolderTest, WritableProgramFolderIsUsedAndNoPerUserFolderIsMade)
{
    const QString folder = ChooseDataFolder(programFolder(), appData(), QStringLiteral("QUILLON"),
                                            QStringLiteral("Parlotext"));
    EXPECT_EQ(folder, programFolder() + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(appData() + QStringLiteral("/QUILLON")));
}

TEST_F(ChooseDataFolderTest, StaleProbeFileSendsSettingsToThePerUserFolder)
{
    QFile stale(programFolder() + QStringLiteral("/chk.tmp"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    const QString folder = ChooseDataFolder(programFolder(), appData(), QStringLiteral("QUILLON"),
                                            QStringLiteral("Parlotext"));
    EXPECT_EQ(folder, perUserFolder());
    EXPECT_TRUE(QFileInfo(perUserFolder()).isDir());
}

TEST_F(ChooseDataFolderTest, UnwritableProgramFolderUsesThePerUserFolderEvenWhenItExists)
{
    // A program folder that cannot take the probe (here: it does not exist).
    QDir().mkpath(perUserFolder());
    const QString folder = ChooseDataFolder(m_root.filePath(QStringLiteral("gone")), appData(),
                                            QStringLiteral("QUILLON"), QStringLiteral("Parlotext"));
    EXPECT_EQ(folder, perUserFolder());
}

TEST_F(ChooseDataFolderTest, MissingApplicationDataFolderIsMadeToo)
{
    const QString base = m_root.filePath(QStringLiteral("fresh-account/.config"));
    const QString folder = ChooseDataFolder(m_root.filePath(QStringLiteral("gone")), base,
                                            QStringLiteral("QUILLON"), QStringLiteral("Parlotext"));
    EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
}

struct HelpCase {
    const char* product;
    const char* path;
};

class HelpAddressTest : public ::testing::TestWithParam<HelpCase> {};

TEST_P(HelpAddressTest, LowersAsciiCapitalsAndHyphenatesBlanks)
{
    const QUrl address = HelpAddress(QUrl(QStringLiteral("http://www.quillon.example")),
                                     QString::fromUtf8(GetParam().product));
    EXPECT_EQ(address.scheme(), QStringLiteral("http"));
    EXPECT_EQ(address.host(), QStringLiteral("www.quillon.example"));
    EXPECT_EQ(address.path(), QString::fromUtf8(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(Products, HelpAddressTest,
                         ::testing::Values(HelpCase{"Parlotext", "/help/parlotext/"},
                                           HelpCase{"Parlo Text  Pro", "/help/parlo-text--pro/"},
                                           HelpCase{"\xC3\x89"
                                                    "cho",
                                                    "/help/\xC3\x89"
                                                    "cho/"}));

} // namespace
