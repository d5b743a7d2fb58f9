#include "transcription/widgets/panefiller.h"
#include "transcription/widgets/windowinputhold.h"

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

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

} // namespace
