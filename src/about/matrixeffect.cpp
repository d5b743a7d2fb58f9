#include "about/matrixeffect.h"

#include <QRandomGenerator>

namespace {

MatrixColour ColourForLevel(int level)
{
    return {level * 150 / 255, level, level * 100 / 255};
}

} // namespace

MatrixColour HeadColour(int brightness)
{
    return ColourForLevel(brightness * 255 / 100);
}

MatrixColour TrailColour(int brightness)
{
    return ColourForLevel(brightness * 255 / 100 / 3);
}

int TailRow(int row, int matrixHeight)
{
    int tail = row - 40;
    while (tail < 0)
        tail += matrixHeight + 1;
    return tail;
}

MatrixEffect::MatrixEffect(RandomBelow random)
    : m_random(std::move(random))
{
}

int MatrixEffect::random(int n) const
{
    // A window too small for one row still gets valid drops.
    if (n <= 0)
        return 0;
    if (m_random)
        return m_random(n);
    return int(QRandomGenerator::global()->bounded(quint32(n)));
}

void MatrixEffect::StartMatrix(MatrixSurface& surface, QSize outerSize)
{
    FrameCount = 0;
    bitmapWidth = outerSize.width();
    bitmapHeight = outerSize.height();
    InitMatrix(surface, outerSize);
}

void MatrixEffect::InitMatrix(MatrixSurface& surface, QSize currentOuterSize)
{
    surface.fillBlack(QRect(0, 0, currentOuterSize.width(), currentOuterSize.height()));
    charWidth = 8;
    charHeight = 12;
    matrixWidth = qMax(0, bitmapWidth / charWidth);
    matrixHeight = qMax(0, bitmapHeight / charHeight);
    DropCount = 0;
    for (int i = 0; i < 2 * matrixWidth; ++i)
        AddDrop();
}

void MatrixEffect::AddDrop()
{
    if (DropCount >= MaxDrops || matrixWidth <= 0)
        return;
    TMatrixDrop& drop = Drops[size_t(DropCount)];
    drop.Column = DropCount % matrixWidth;
    drop.Row = random(matrixHeight);
    drop.Speed = random(3) + 1;
    drop.Brightness = random(100);
    ++DropCount;
}

void MatrixEffect::StepMatrix(MatrixSurface& surface)
{
    for (int i = 0; i < DropCount; ++i) {
        TMatrixDrop& drop = Drops[size_t(i)];
        DrawDrop(surface, drop);
        if (FrameCount % drop.Speed == 0) {
            ++drop.Row;
            if (drop.Row > matrixHeight + 1) {
                drop.Row = 0;
                drop.Speed = random(3) + 1;
                drop.Brightness = random(100);
            }
        }
    }
    ++FrameCount;
}

void MatrixEffect::DrawDrop(MatrixSurface& surface, const TMatrixDrop& drop)
{
    const QChar character =
        MatrixChars.isEmpty() ? QChar(u' ') : MatrixChars.at(random(int(MatrixChars.size())));
    const int x = drop.Column * charWidth;
    const int tail = TailRow(drop.Row, matrixHeight);
    surface.fillBlack(QRect(x, tail * charHeight, charWidth, charHeight));
    if (drop.Row > 0)
        surface.drawCharacter(character, QPoint(x, (drop.Row - 1) * charHeight),
                              TrailColour(drop.Brightness));
    surface.drawCharacter(character, QPoint(x, drop.Row * charHeight), HeadColour(drop.Brightness));
}
