#include "transcription/subtitlefile.h"
#include "transcription/widgets/panefiller.h"
#include "transcription/widgets/windowinputhold.h"

#include "subtitlesamples.h"

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>
#include <vector>

namespace {

QString linesOfText(qsizetype length)
{
    QString text;
    for (int line = 0; text.size() < length; ++line)
        text += QStringLiteral("00:%1.000 --> 00:%1.500\n Grüße, 東京 %1\n").arg(line);
    return text;
}

class PaneFillerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pane = new QPlainTextEdit(&window);
        window.setCentralWidget(pane);
        hold = new WindowInputHold(&window);
        filler = new PaneFiller(pane, hold, &window);
        window.show();
    }

    QMainWindow window;
    QPlainTextEdit* pane = nullptr;
    WindowInputHold* hold = nullptr;
    PaneFiller* filler = nullptr;
};

TEST_F(PaneFillerTest, ASmallTextGoesInAtOnce)
{
    pane->setPlainText(QStringLiteral("old"));
    pane->insertPlainText(QStringLiteral(" edit"));
    QSignalSpy filled(filler, &PaneFiller::filled);
    filler->setText(QStringLiteral("a\nb"));
    EXPECT_EQ(filled.count(), 1);
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("a\nb"));
    EXPECT_FALSE(pane->document()->isUndoAvailable());
    EXPECT_FALSE(hold->isHeld());
}

TEST_F(PaneFillerTest, ALargeTextGoesInByPiecesWhileInputIsHeld)
{
    const QString text = linesOfText(PaneFiller::kPieceLength * 3 + 100);
    QSignalSpy filled(filler, &PaneFiller::filled);
    filler->setText(text);
    EXPECT_TRUE(filler->isFilling());
    EXPECT_TRUE(hold->isHeld());
    EXPECT_LT(pane->toPlainText().size(), text.size());
    ASSERT_TRUE(filled.wait(10000));
    EXPECT_FALSE(filler->isFilling());
    EXPECT_FALSE(hold->isHeld());
    EXPECT_EQ(pane->toPlainText(), text);
    EXPECT_EQ(pane->document()->blockCount(), text.count(QLatin1Char('\n')) + 1);
    EXPECT_FALSE(pane->document()->isUndoAvailable());
    EXPECT_EQ(pane->textCursor().position(), 0);
    // The pane is an ordinary editable pane again.
    pane->insertPlainText(QStringLiteral("x"));
    EXPECT_TRUE(pane->document()->isUndoAvailable());
}

TEST_F(PaneFillerTest, ANewTextReplacesAFillUnderWay)
{
    filler->setText(linesOfText(PaneFiller::kPieceLength * 4));
    ASSERT_TRUE(filler->isFilling());
    const QString second = linesOfText(PaneFiller::kPieceLength * 2);
    QSignalSpy filled(filler, &PaneFiller::filled);
    filler->setText(second);
    ASSERT_TRUE(filled.wait(10000));
    QTest::qWait(20);
    EXPECT_EQ(pane->toPlainText(), second);
    EXPECT_FALSE(hold->isHeld());

    filler->setText(linesOfText(PaneFiller::kPieceLength * 4));
    filler->setText(QStringLiteral("short"));
    QTest::qWait(20);
    EXPECT_EQ(pane->toPlainText(), QStringLiteral("short"));
    EXPECT_FALSE(hold->isHeld());
}

// Fills the pane with text, known to be the standard form of format, and waits for the end.
void fillAndWait(PaneFiller& filler, const QString& text, std::optional<SubtitleFormat> format)
{
    QSignalSpy filled(&filler, &PaneFiller::filled);
    filler.setText(text, format);
    if (filled.isEmpty()) {
        ASSERT_TRUE(filled.wait(10000));
    }
}

// What the fill tells saving lets it write the pane as it stands. For every text the pane
// is filled with, saving with what the fill knows writes exactly what saving without it
// writes; where the pane's lines would not give the text back, the fill knows nothing.
TEST_F(PaneFillerTest, WhatTheFillKnowsNeverChangesWhatIsSaved)
{
    const QString standardVtt = NormalizeSubtitles(kModelWebVtt, SubtitleFormat::WebVtt);
    const QString withBreakInCue =
        QStringLiteral("WEBVTT\n\n00:01.000 --> 00:02.000\nA\u2029\u2029B\n");
    const struct {
        const char* name;
        QString text;
        SubtitleFormat format;
        bool known;
    } cases[] = {
        {"standard WebVTT", standardVtt, SubtitleFormat::WebVtt, true},
        {"standard SubRip", NormalizeSubtitles(kModelSubRip, SubtitleFormat::SubRip),
         SubtitleFormat::SubRip, true},
        {"standard features", NormalizeSubtitles(kLooseFeatures, SubtitleFormat::WebVtt),
         SubtitleFormat::WebVtt, true},
        {"arrows in cue text",
         NormalizeSubtitles(QStringLiteral("1\n00:01.000 --> 00:02.000\n A --> B --&gt; C\n"),
                            SubtitleFormat::SubRip),
         SubtitleFormat::SubRip, true},
        {"filled by pieces", NormalizeSubtitles(ModelTalk(4000), SubtitleFormat::WebVtt),
         SubtitleFormat::WebVtt, true},
        // The pane takes these characters as line breaks: its lines are not the text.
        {"paragraph separators", withBreakInCue, SubtitleFormat::WebVtt, false},
        {"frame mark", standardVtt + QChar(0xFDD0), SubtitleFormat::WebVtt, false},
        {"frame end mark", standardVtt + QChar(0xFDD1), SubtitleFormat::WebVtt, false},
        {"carriage return", QString(standardVtt).replace(u'\n', QStringLiteral("\r\n")),
         SubtitleFormat::WebVtt, false},
    };
    for (const auto& c : cases) {
        fillAndWait(*filler, c.text, c.format);
        ASSERT_FALSE(filler->isFilling()) << c.name;
        EXPECT_EQ(filler->standardForm().has_value(), c.known) << c.name;
        const QString pane = PaneText(this->pane);
        if (c.known) {
            EXPECT_EQ(pane, c.text) << c.name;
        }
        for (const char* file : {"talk.vtt", "talk.srt", "talk.txt"}) {
            EXPECT_EQ(
                SubtitleFileContentFor(QLatin1String(file), pane, filler->standardForm()).bytes,
                SubtitleFileContentFor(QLatin1String(file), pane).bytes)
                << c.name << " saved as " << file;
        }
    }
}

TEST_F(PaneFillerTest, AnyChangeToThePaneEndsWhatTheFillKnows)
{
    const QString standard = NormalizeSubtitles(kModelWebVtt, SubtitleFormat::WebVtt);
    fillAndWait(*filler, standard, SubtitleFormat::WebVtt);
    EXPECT_EQ(filler->standardForm(), SubtitleFormat::WebVtt);
    // An edit, even one undone at once.
    pane->insertPlainText(QStringLiteral("x"));
    EXPECT_EQ(filler->standardForm(), std::nullopt);
    pane->undo();
    EXPECT_EQ(PaneText(pane), standard);
    EXPECT_EQ(filler->standardForm(), std::nullopt);

    fillAndWait(*filler, standard, SubtitleFormat::WebVtt);
    pane->setPlainText(QStringLiteral("WEBVTT\n"));
    EXPECT_EQ(filler->standardForm(), std::nullopt);

    // A text given without a format, and a fill under way.
    fillAndWait(*filler, standard, SubtitleFormat::WebVtt);
    fillAndWait(*filler, standard, std::nullopt);
    EXPECT_EQ(filler->standardForm(), std::nullopt);
    const QString large = NormalizeSubtitles(ModelTalk(4000), SubtitleFormat::WebVtt);
    filler->setText(large, SubtitleFormat::WebVtt);
    ASSERT_TRUE(filler->isFilling());
    EXPECT_EQ(filler->standardForm(), std::nullopt);
    filler->completeNow();
    EXPECT_EQ(filler->standardForm(), SubtitleFormat::WebVtt);
}

// Saving reads the pane through the filler, which keeps the text it filled and reads back
// only what changed since. For each script of edits, the filler's text is the pane's: checked
// after every step (each check takes in the changes so far), and once after all the steps.
TEST_F(PaneFillerTest, ThePaneTextFollowsEveryEdit)
{
    using Step = std::function<void(QPlainTextEdit&)>;
    const auto typeAt = [](int position, const QString& text) {
        return Step([=](QPlainTextEdit& pane) {
            QTextCursor cursor(pane.document());
            cursor.setPosition(position);
            pane.setTextCursor(cursor);
            pane.insertPlainText(text);
        });
    };
    const auto remove = [](int from, int to) {
        return Step([=](QPlainTextEdit& pane) {
            QTextCursor cursor(pane.document());
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        });
    };
    const Step undo = [](QPlainTextEdit& pane) {
        pane.undo();
    };
    const Step redo = [](QPlainTextEdit& pane) {
        pane.redo();
    };
    const Step replaceAll = [](QPlainTextEdit& pane) {
        pane.selectAll();
        pane.insertPlainText(QStringLiteral("fresh\ntext"));
    };
    const Step setAnew = [](QPlainTextEdit& pane) {
        pane.setPlainText(QStringLiteral("a\nb"));
    };

    const QString small = NormalizeSubtitles(kModelWebVtt, SubtitleFormat::WebVtt) +
                          QStringLiteral("\nno-break\u00A0space, line\u2028separator\n");
    const int smallEnd = int(small.size());
    const QString large = NormalizeSubtitles(ModelTalk(2000), SubtitleFormat::WebVtt);
    const struct {
        const char* name;
        const QString& text;
        std::vector<Step> steps;
    } cases[] = {
        {"a letter typed and undone", small, {typeAt(0, QStringLiteral("x")), undo}},
        {"lines typed into lines typed",
         large,
         {typeAt(5000, QStringLiteral("new\nlines\n")), typeAt(5003, QStringLiteral("er"))}},
        {"lines removed, undone, redone", large, {remove(1000, 90000), undo, redo}},
        {"edits far apart, the later first",
         large,
         {typeAt(150000, QStringLiteral("late")), typeAt(10, QStringLiteral("early")),
          remove(20, 40), remove(149000, 151000)}},
        {"edits at the very end",
         small,
         {typeAt(smallEnd, QStringLiteral("tail\n")), remove(smallEnd - 3, smallEnd + 2)}},
        {"separators typed",
         small,
         {typeAt(3, QStringLiteral("\u00A0\u2028\u2029\r\n\U0001F600"))}},
        {"everything replaced", large, {replaceAll, typeAt(2, QStringLiteral("y")), undo, undo}},
        {"set anew from outside", small, {setAnew, typeAt(1, QStringLiteral("z"))}},
    };
    for (const bool checkEveryStep : {true, false}) {
        for (const auto& c : cases) {
            fillAndWait(*filler, c.text, SubtitleFormat::WebVtt);
            ASSERT_EQ(filler->paneText(), c.text) << c.name;
            for (std::size_t step = 0; step < c.steps.size(); ++step) {
                c.steps[step](*pane);
                if (checkEveryStep) {
                    ASSERT_EQ(filler->paneText(), PaneText(pane)) << c.name << ", step " << step;
                }
            }
            EXPECT_EQ(filler->paneText(), PaneText(pane)) << c.name;
        }
    }
}

// A pane given another document, even one as long as the text the filler keeps, is read
// from that document.
TEST_F(PaneFillerTest, APaneGivenAnotherDocumentIsReadFromIt)
{
    const QString text = NormalizeSubtitles(kModelWebVtt, SubtitleFormat::WebVtt);
    fillAndWait(*filler, text, SubtitleFormat::WebVtt);
    ASSERT_EQ(filler->paneText(), text);
    auto* document = new QTextDocument(pane);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setPlainText(QString(text.size(), QLatin1Char('q')));
    pane->setDocument(document);
    EXPECT_EQ(filler->paneText(), QString(text.size(), QLatin1Char('q')));
}

// Many random edits, typed, removed, undone and redone anywhere, looked at now and then.
TEST_F(PaneFillerTest, ThePaneTextFollowsRandomEdits)
{
    const QString text = NormalizeSubtitles(ModelTalk(300), SubtitleFormat::WebVtt);
    fillAndWait(*filler, text, SubtitleFormat::WebVtt);
    const QString pieces[] = {QStringLiteral("x"),          QStringLiteral("\n"),
                              QStringLiteral("two\nlines"), QStringLiteral("\u00A0\u2028"),
                              QStringLiteral("\U0001F600"), QStringLiteral("\n\n")};
    std::mt19937 random(20261211);
    const auto below = [&random](int bound) {
        return int(std::uniform_int_distribution<int>(0, bound - 1)(random));
    };
    for (int edit = 0; edit < 400; ++edit) {
        const int length = pane->document()->characterCount() - 1;
        QTextCursor cursor(pane->document());
        switch (below(4)) {
        case 0:
            cursor.setPosition(below(length + 1));
            cursor.insertText(pieces[below(int(std::size(pieces)))]);
            break;
        case 1: {
            const int from = below(length + 1);
            cursor.setPosition(from);
            cursor.setPosition(std::min(length, from + below(300)), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
            break;
        }
        case 2:
            pane->undo();
            break;
        default:
            pane->redo();
            break;
        }
        if (below(5) == 0) {
            ASSERT_EQ(filler->paneText(), PaneText(pane)) << "after edit " << edit;
        }
    }
    EXPECT_EQ(filler->paneText(), PaneText(pane));
}

} // namespace
