// The console runner with real shell commands.
#include "media/consolerunner.h"
#include "mediatestsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

using ::testing::ElementsAre;
using ::testing::Gt;

namespace {

class ConsoleRunnerTest : public ::testing::Test {
protected:
    void run(const QString& command, const std::function<void()>& whileWaiting = {})
    {
        RunConsoleCommand(command, m_folder.path(), m_log, whileWaiting);
    }
    QStringList closingLines() const
    {
        return {kConsoleBanner, kConsoleCompleted, kConsoleRule, QString()};
    }

    QTemporaryDir m_folder;
    RecordingLog m_log;
};

TEST_F(ConsoleRunnerTest, CommandWithoutOutputGivesBannerAndClosingLinesOnly)
{
    run(QStringLiteral("true"));
    EXPECT_EQ(m_log.lines, closingLines());
    EXPECT_TRUE(m_log.pieces.isEmpty());
    EXPECT_EQ(m_log.text, QStringLiteral("Commencing processing...\n"
                                         "Processing completed successfully.\n"
                                         "**********************************\n\n"));
}

TEST_F(ConsoleRunnerTest, CommandThatCannotStartGivesTheSameLinesAndReturns)
{
    RunConsoleCommand(QStringLiteral("echo never"), m_folder.filePath(QStringLiteral("missing")),
                      m_log);
    EXPECT_EQ(m_log.lines, closingLines());
    EXPECT_TRUE(m_log.pieces.isEmpty());
}

TEST_F(ConsoleRunnerTest, RunsInTheWorkingFolder)
{
    run(QStringLiteral("pwd"));
    EXPECT_EQ(m_log.outputText(), QDir(m_folder.path()).canonicalPath() + QLatin1Char('\n'));
}

TEST_F(ConsoleRunnerTest, StandardErrorArrivesInOrderWithStandardOutput)
{
    run(QStringLiteral("echo first; echo second >&2; echo third; ls /no/such/entry"));
    const QStringList got = m_log.outputText().split(QLatin1Char('\n'));
    ASSERT_GE(got.size(), 4);
    EXPECT_EQ(got[0], QStringLiteral("first"));
    EXPECT_EQ(got[1], QStringLiteral("second"));
    EXPECT_EQ(got[2], QStringLiteral("third"));
    EXPECT_TRUE(got[3].contains(QStringLiteral("/no/such/entry"))) << got[3].toStdString();
}

TEST_F(ConsoleRunnerTest, LargeOutputArrivesInPiecesInOrderWithNoAddedBreaks)
{
    // 20000 numbered lines, about 240 kB: more than a pipe holds, so it comes in pieces.
    run(QStringLiteral("seq -f 'line %06g of the output' 1 20000"));
    QString expected;
    for (int i = 1; i <= 20000; ++i)
        expected += QStringLiteral("line %1 of the output\n").arg(i, 6, 10, QLatin1Char('0'));
    EXPECT_THAT(m_log.pieces.size(), Gt(1));
    EXPECT_EQ(m_log.outputText(), expected);
    EXPECT_EQ(m_log.text, QStringLiteral("Commencing processing...\n") + expected +
                              QStringLiteral("Processing completed successfully.\n"
                                             "**********************************\n\n"));
}

TEST_F(ConsoleRunnerTest, CharacterSplitBetweenTwoReadsArrivesWhole)
{
    // "é" (C3 A9) and "🎤" (F0 9F 8E A4) are cut between writes; the pause makes the
    // runner read the first half before the second half exists.
    run(QStringLiteral("printf 'caf\\303'; sleep 0.3; printf '\\251 \\360'; sleep 0.3; "
                       "printf '\\237\\216\\244!'"));
    EXPECT_GE(m_log.pieces.size(), 3) << "the output did not arrive in three reads";
    EXPECT_EQ(m_log.outputText(), QStringLiteral("café 🎤!"));
    EXPECT_FALSE(m_log.outputText().contains(QChar::ReplacementCharacter));
}

TEST_F(ConsoleRunnerTest, ZeroByteDoesNotCutOffTheRest)
{
    run(QStringLiteral("printf 'before\\000after\\n'"));
    EXPECT_EQ(m_log.outputText(),
              QStringLiteral("before") + QChar(u'\0') + QStringLiteral("after\n"));
}

TEST_F(ConsoleRunnerTest, UnfinishedCharacterAtTheEndShowsAsReplacementMark)
{
    run(QStringLiteral("printf 'end\\303'"));
    EXPECT_EQ(m_log.outputText(), QStringLiteral("end") + QChar(QChar::ReplacementCharacter));
}

TEST_F(ConsoleRunnerTest, DescendantHoldingTheOutputKeepsTheRunnerReading)
{
    // The interpreter ends at once; its background child writes half a second later.
    QElapsedTimer clock;
    clock.start();
    run(QStringLiteral("(sleep 0.5; echo late) & echo early"));
    EXPECT_EQ(m_log.outputText(), QStringLiteral("early\nlate\n"));
    EXPECT_GE(clock.elapsed(), 450);
    EXPECT_EQ(m_log.lines.last(), QString());
}

TEST_F(ConsoleRunnerTest, WaitsForTheCommandAfterItClosedItsOutput)
{
    // The output ends long before the command does; the file is written only at its end.
    run(QStringLiteral("exec >/dev/null 2>&1; sleep 0.3; echo done > finished.txt"));
    EXPECT_TRUE(QFile::exists(m_folder.filePath(QStringLiteral("finished.txt"))));
}

TEST_F(ConsoleRunnerTest, WhileWaitingRunsDuringALongCommand)
{
    int calls = 0;
    run(QStringLiteral("sleep 0.3"), [&] { ++calls; });
    // Every 20 ms or so; a loose floor, since a loaded machine may stretch the steps.
    EXPECT_GE(calls, 3);
}

TEST_F(ConsoleRunnerTest, ErrorFromTheLogPassesOnAfterTheClosingLines)
{
    class FailingLog final : public ConsoleLog {
    public:
        void appendLine(const QString& line) override { lines.append(line); }
        void appendText(const QString&) override { throw std::runtime_error("pane is full"); }
        QStringList lines;
    } log;
    EXPECT_THROW(RunConsoleCommand(QStringLiteral("echo something"), m_folder.path(), log),
                 std::runtime_error);
    EXPECT_THAT(log.lines, ElementsAre(kConsoleBanner, kConsoleCompleted, kConsoleRule, QString()));
}

TEST_F(ConsoleRunnerTest, ExitCodeIsNotExaminedAndTheShellFindsNoCommand)
{
    run(QStringLiteral("no-such-program-here --version; exit 3"));
    EXPECT_TRUE(m_log.outputText().contains(QStringLiteral("no-such-program-here")));
    EXPECT_EQ(m_log.lines, closingLines());
}

} // namespace
