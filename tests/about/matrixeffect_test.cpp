// The falling-characters arithmetic, without a screen.
#include "about/matrixeffect.h"

#include <QList>

#include <gtest/gtest.h>

#include <deque>

namespace {

// Records what the effect draws.
class RecordingSurface final : public MatrixSurface {
public:
    struct Character {
        QChar character;
        QPoint position;
        MatrixColour colour;
    };
    void fillBlack(const QRect& area) override { fills.append(area); }
    void drawCharacter(QChar character, QPoint position, MatrixColour colour) override
    {
        characters.append({character, position, colour});
    }
    QList<QRect> fills;
    QList<Character> characters;
};

// Answers random draws from a script, then with 0; records the ranges asked for.
struct ScriptedRandom {
    std::deque<int> answers;
    QList<int> ranges;
    MatrixEffect::RandomBelow function()
    {
        return [this](int n) {
            ranges.append(n);
            if (answers.empty())
                return 0;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        };
    }
};

} // namespace

TEST(MatrixEffect, EveryColumnStartsWithTwoDropsUpToTheLimit)
{
    struct Case {
        int width;
        int columns;
        int drops;
    };
    const Case cases[] = {{8, 1, 2},
                          {446, 55, 110},
                          {800, 100, 200},
                          {7, 0, 0},
                          {8 * 2500, 2500, 5000},
                          {8 * 2501, 2501, 5000},
                          {8 * 4000, 4000, 5000}};
    for (const Case& c : cases) {
        RecordingSurface surface;
        MatrixEffect effect;
        effect.StartMatrix(surface, QSize(c.width, 374));
        EXPECT_EQ(effect.matrixWidth, c.columns) << c.width;
        EXPECT_EQ(effect.matrixHeight, 374 / 12) << c.width;
        ASSERT_EQ(effect.DropCount, c.drops) << c.width;
        for (int i = 0; i < effect.DropCount; ++i) {
            const TMatrixDrop& drop = effect.Drops[size_t(i)];
            ASSERT_EQ(drop.Column, i % c.columns);
            ASSERT_GE(drop.Row, 0);
            ASSERT_LT(drop.Row, effect.matrixHeight);
            ASSERT_GE(drop.Speed, 1);
            ASSERT_LE(drop.Speed, 3);
            ASSERT_GE(drop.Brightness, 0);
            ASSERT_LE(drop.Brightness, 99);
        }
        // The whole window is cleared first.
        ASSERT_FALSE(surface.fills.isEmpty());
        EXPECT_EQ(surface.fills.first(), QRect(0, 0, c.width, 374));
    }
}

TEST(MatrixEffect, AddDropTakesItsRangesFromTheMatrix)
{
    ScriptedRandom random;
    random.answers = {30, 2, 99};
    RecordingSurface surface;
    MatrixEffect effect(random.function());
    effect.StartMatrix(surface, QSize(16, 374)); // two columns, four drops
    EXPECT_EQ(effect.Drops[0].Row, 30);
    EXPECT_EQ(effect.Drops[0].Speed, 3);
    EXPECT_EQ(effect.Drops[0].Brightness, 99);
    EXPECT_EQ(random.ranges.mid(0, 3), (QList<int>{31, 3, 100}));
    EXPECT_EQ(effect.Drops[3].Column, 1);
}

TEST(MatrixEffect, ResizeRebuildsFromTheStartingSizeAndKeepsTheTickCount)
{
    RecordingSurface surface;
    MatrixEffect effect;
    effect.StartMatrix(surface, QSize(80, 120));
    effect.StepMatrix(surface);
    effect.StepMatrix(surface);
    surface.fills.clear();
    effect.InitMatrix(surface, QSize(400, 300));
    EXPECT_EQ(surface.fills.first(), QRect(0, 0, 400, 300));
    EXPECT_EQ(effect.matrixWidth, 10);
    EXPECT_EQ(effect.DropCount, 20);
    EXPECT_EQ(effect.FrameCount, 2);
}

TEST(MatrixEffect, TailRowWrapsIntoTheMatrix)
{
    struct Case {
        int row;
        int height;
        int tail;
    };
    const Case cases[] = {{40, 31, 0},  {45, 31, 5},          {0, 31, -40 + 64}, {10, 31, -30 + 32},
                          {39, 31, 31}, {5, 10, 5 - 40 + 44}, {0, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(TailRow(c.row, c.height), c.tail) << c.row << " " << c.height;
}

TEST(MatrixEffect, HeadAndTrailColoursFollowTheBrightness)
{
    struct Case {
        int brightness;
        MatrixColour head;
        MatrixColour trail;
    };
    // v = b * 255 / 100, w = v / 3; colour (v*150/255, v, v*100/255), all truncated.
    const Case cases[] = {
        {0, {0, 0, 0}, {0, 0, 0}},          {1, {1, 2, 0}, {0, 0, 0}},
        {2, {2, 5, 1}, {0, 1, 0}},          {50, {74, 127, 49}, {24, 42, 16}},
        {77, {115, 196, 76}, {38, 65, 25}}, {99, {148, 252, 98}, {49, 84, 32}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeadColour(c.brightness), c.head) << c.brightness;
        EXPECT_EQ(TrailColour(c.brightness), c.trail) << c.brightness;
    }
}

TEST(MatrixEffect, DrawDropErasesTheTailAndDrawsTrailThenHead)
{
    ScriptedRandom random;
    RecordingSurface surface;
    MatrixEffect effect(random.function());
    effect.StartMatrix(surface, QSize(80, 372)); // 10 columns, 31 rows
    surface.fills.clear();
    random.answers = {1}; // the character "i"
    effect.DrawDrop(surface, TMatrixDrop{3, 45, 1, 50});
    ASSERT_EQ(surface.fills.size(), 1);
    EXPECT_EQ(surface.fills[0], QRect(24, 5 * 12, 8, 12));
    ASSERT_EQ(surface.characters.size(), 2);
    EXPECT_EQ(surface.characters[0].character, QChar(u'i'));
    EXPECT_EQ(surface.characters[0].position, QPoint(24, 44 * 12));
    EXPECT_EQ(surface.characters[0].colour, TrailColour(50));
    EXPECT_EQ(surface.characters[1].character, QChar(u'i'));
    EXPECT_EQ(surface.characters[1].position, QPoint(24, 45 * 12));
    EXPECT_EQ(surface.characters[1].colour, HeadColour(50));
    EXPECT_EQ(random.ranges.last(), 3); // one of "kiv"
}

TEST(MatrixEffect, ADropOnRowZeroDrawsNoTrail)
{
    RecordingSurface surface;
    MatrixEffect effect;
    effect.StartMatrix(surface, QSize(80, 372));
    surface.characters.clear();
    effect.DrawDrop(surface, TMatrixDrop{0, 0, 2, 99});
    ASSERT_EQ(surface.characters.size(), 1);
    EXPECT_EQ(surface.characters[0].position, QPoint(0, 0));
    EXPECT_EQ(surface.characters[0].colour, HeadColour(99));
}

TEST(MatrixEffect, DropsMoveOnTicksDivisibleByTheirSpeed)
{
    RecordingSurface surface;
    MatrixEffect effect;
    effect.StartMatrix(surface, QSize(8, 372)); // one column, 31 rows
    effect.Drops[0] = TMatrixDrop{0, 5, 1, 10};
    effect.Drops[1] = TMatrixDrop{0, 5, 3, 10};
    std::vector<int> slowRows;
    for (int tick = 0; tick < 7; ++tick) {
        surface.characters.clear();
        effect.StepMatrix(surface);
        // Every drop draws on every tick, moving or not.
        ASSERT_EQ(surface.characters.size(), 4);
        slowRows.push_back(effect.Drops[1].Row);
    }
    EXPECT_EQ(effect.FrameCount, 7);
    EXPECT_EQ(effect.Drops[0].Row, 12);
    // Ticks 0, 3 and 6 move the slow drop.
    EXPECT_EQ(slowRows, (std::vector<int>{6, 6, 6, 7, 7, 7, 8}));
}

TEST(MatrixEffect, ADropPastTheLastRowRestartsAtTheTopOfItsColumn)
{
    ScriptedRandom random;
    RecordingSurface surface;
    MatrixEffect effect(random.function());
    effect.StartMatrix(surface, QSize(16, 372)); // two columns, 31 rows
    effect.Drops[3] = TMatrixDrop{1, 31, 1, 40}; // one step before the restart
    effect.Drops[2] = TMatrixDrop{0, 30, 1, 40};
    effect.DropCount = 4;
    effect.Drops[0].Speed = effect.Drops[1].Speed = 2;
    effect.FrameCount = 1; // the speed-2 drops stay where they are
    effect.StepMatrix(surface);
    EXPECT_EQ(effect.Drops[2].Row, 31); // matrixHeight: still inside
    EXPECT_EQ(effect.Drops[3].Row, 32); // matrixHeight + 1: still inside
    EXPECT_EQ(effect.Drops[3].Column, 1);
    // One character for each drop drawn, then the restart's speed and brightness.
    random.answers = {0, 0, 0, 0, 1, 77};
    effect.StepMatrix(surface);
    EXPECT_EQ(effect.Drops[2].Row, 32);
    EXPECT_EQ(effect.Drops[3].Row, 0);
    EXPECT_EQ(effect.Drops[3].Column, 1);
    EXPECT_EQ(effect.Drops[3].Speed, 2);
    EXPECT_EQ(effect.Drops[3].Brightness, 77);
}
