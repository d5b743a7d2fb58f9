// The log pane as the runner's log, with real shell commands.
#include "media/plaintextlog.h"

#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kClosing = QStringLiteral("Processing completed successfully.\n"
                                        "**********************************\n\n");

class PlainTextEditLogTest : public ::testing::Test {
protected:
    void run(const QString& command) { RunConsoleCommand(command, m_folder.path(), &m_pane); }

    QTemporaryDir m_folder;
    QPlainTextEdit m_pane{QStringLiteral("MemoCMD")};
};

TEST_F(PlainTextEditLogTest, OutputWithoutFinalBreakStillLeavesTheClosingLinesOnTheirOwn)
{
    run(QStringLiteral("printf 'abc'"));
    EXPECT_EQ(m_pane.toPlainText(),
              QStringLiteral("MemoCMD\nCommencing processing...\nabc\n") + kClosing);
}

TEST_F(PlainTextEditLogTest, RunsAppendToWhatIsThere)
{
    run(QStringLiteral("echo one"));
    run(QStringLiteral("true"));
    EXPECT_EQ(m_pane.toPlainText(), QStringLiteral("MemoCMD\nCommencing processing...\none\n") +
                                        kClosing + QStringLiteral("Commencing processing...\n") +
                                        kClosing);
}

TEST_F(PlainTextEditLogTest, LargeOutputShowsWholeAndInOrder)
{
    run(QStringLiteral("seq 1 30000"));
    QString expected = QStringLiteral("MemoCMD\nCommencing processing...\n");
    for (int i = 1; i <= 30000; ++i)
        expected += QString::number(i) + QLatin1Char('\n');
    EXPECT_EQ(m_pane.toPlainText(), expected + kClosing);
}

TEST_F(PlainTextEditLogTest, ZeroByteShowsAsAMarkAndTheRestFollows)
{
    run(QStringLiteral("printf 'a\\000b\\n'"));
    EXPECT_EQ(m_pane.toPlainText(), QStringLiteral("MemoCMD\nCommencing processing...\na") +
                                        QChar(QChar::ReplacementCharacter) + QStringLiteral("b\n") +
                                        kClosing);
}

TEST_F(PlainTextEditLogTest, NonAsciiTextArrivesIntact)
{
    run(QStringLiteral("printf 'Größe: 5 €\\n'"));
    EXPECT_TRUE(m_pane.toPlainText().contains(QStringLiteral("\nGröße: 5 €\n")));
}

} // namespace
