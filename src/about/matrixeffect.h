#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <functional>

// One falling column head of the about window's background effect.
struct TMatrixDrop {
    int Column = 0;     // 0 .. matrixWidth - 1
    int Row = 0;        // the head's row, 0 .. matrixHeight + 1
    int Speed = 1;      // 1 .. 3: the head moves on ticks whose number is divisible by it
    int Brightness = 0; // 0 .. 99
};

// A colour as plain components, so that the effect's arithmetic needs no window library.
struct MatrixColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const MatrixColour&, const MatrixColour&) = default;
};

// The head's colour for a drop's brightness: a green with a little red and blue.
MatrixColour HeadColour(int brightness);
// The trail's colour: the head's colour at a third of the head's level.
MatrixColour TrailColour(int brightness);
// The row whose cell is erased behind a head on row, 40 rows up, wrapped into the matrix.
int TailRow(int row, int matrixHeight);

// Where the effect draws: the window's own surface, or a recorder in tests.
class MatrixSurface {
public:
    virtual ~MatrixSurface() = default;
    // Fills the rectangle (right and bottom exclusive) with black.
    virtual void fillBlack(const QRect& area) = 0;
    // Draws one character with its top-left corner at position, on a black background.
    virtual void drawCharacter(QChar character, QPoint position, MatrixColour colour) = 0;
};

// The falling-characters effect: drops that run down character columns, each head
// leaving a dimmer trail and erasing a cell 40 rows behind it. It runs on whatever
// ticks it is given, so it can be stepped without a timer.
class MatrixEffect {
public:
    static constexpr int MaxDrops = 5000;
    // A random number 0 .. n - 1.
    using RandomBelow = std::function<int(int n)>;

    explicit MatrixEffect(RandomBelow random = {});

    // Resets the tick counter, records the window's outer size and builds the drops.
    void StartMatrix(MatrixSurface& surface, QSize outerSize);
    // Clears the surface over currentOuterSize and gives every column two new drops,
    // sized by the outer size recorded at the start, not the current one.
    void InitMatrix(MatrixSurface& surface, QSize currentOuterSize);
    // Adds one drop in the next column, unless MaxDrops are in use.
    void AddDrop();
    // One tick: every drop draws; those whose speed divides the tick move down a row.
    void StepMatrix(MatrixSurface& surface);
    void DrawDrop(MatrixSurface& surface, const TMatrixDrop& drop);

    QString MatrixChars = QStringLiteral("kiv");
    std::array<TMatrixDrop, MaxDrops> Drops{};
    int DropCount = 0;
    int FrameCount = 0;
    int matrixWidth = 0;
    int matrixHeight = 0;
    int charWidth = 8;
    int charHeight = 12;
    int bitmapWidth = 0;
    int bitmapHeight = 0;

private:
    int random(int n) const;
    RandomBelow m_random;
};
