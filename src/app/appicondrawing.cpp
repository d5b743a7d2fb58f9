#include "app/appicondrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor kInk(40, 62, 96);
const QColor kAccent(33, 122, 214);

// A speech bubble with a sound wave in it: the program's own mark.
void drawBubble(QPainter& p, const QColor& fill)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(6, 8, 52, 38), 10, 10);
    QPainterPath tail;
    tail.moveTo(18, 44);
    tail.lineTo(14, 58);
    tail.lineTo(30, 44);
    tail.closeSubpath();
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(fill);
    p.drawPath(bubble.united(tail));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    const int heights[] = {6, 14, 22, 12, 18, 8};
    for (int i = 0; i < 6; ++i) {
        const qreal x = 17 + i * 6;
        p.drawLine(QPointF(x, 27 - heights[i] / 2.0), QPointF(x, 27 + heights[i] / 2.0));
    }
}

void drawStop(QPainter& p)
{
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(QColor(214, 60, 52));
    p.drawRoundedRect(QRectF(12, 12, 40, 40), 6, 6);
}

void drawLoad(QPainter& p)
{
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(QColor(245, 196, 82));
    QPainterPath folder;
    folder.moveTo(6, 16);
    folder.lineTo(24, 16);
    folder.lineTo(29, 22);
    folder.lineTo(58, 22);
    folder.lineTo(58, 52);
    folder.lineTo(6, 52);
    folder.closeSubpath();
    p.drawPath(folder);
}

void drawSave(QPainter& p)
{
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(kAccent);
    QPainterPath disk;
    disk.moveTo(8, 8);
    disk.lineTo(48, 8);
    disk.lineTo(56, 16);
    disk.lineTo(56, 56);
    disk.lineTo(8, 56);
    disk.closeSubpath();
    p.drawPath(disk);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(18, 8, 24, 16));
    p.drawRect(QRectF(16, 34, 32, 22));
    p.setPen(QPen(kInk, 2));
    for (int y = 40; y <= 50; y += 5)
        p.drawLine(20, y, 44, y);
}

void drawSettings(QPainter& p)
{
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(QColor(150, 160, 176));
    QPainterPath gear;
    const QPointF centre(32, 32);
    for (int tooth = 0; tooth < 8; ++tooth) {
        const qreal angle = tooth * M_PI / 4;
        for (const qreal offset : {-0.22, 0.22}) {
            const qreal a = angle + offset;
            const QPointF outer = centre + QPointF(qCos(a), qSin(a)) * 26;
            const QPointF inner =
                centre + QPointF(qCos(a + offset * 0.6), qSin(a + offset * 0.6)) * 19;
            if (gear.elementCount() == 0)
                gear.moveTo(inner);
            if (offset < 0) {
                gear.lineTo(inner);
                gear.lineTo(outer);
            } else {
                gear.lineTo(outer);
                gear.lineTo(inner);
            }
        }
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, 8, 8);
    p.drawPath(gear.subtracted(hole));
}

void drawRecord(QPainter& p)
{
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(QColor(214, 60, 52));
    p.drawEllipse(QPointF(32, 32), 22, 22);
}

void drawKey(QPainter& p)
{
    p.setPen(QPen(kInk, 3));
    p.setBrush(QColor(245, 196, 82));
    p.drawEllipse(QPointF(20, 32), 12, 12);
    p.setBrush(Qt::NoBrush);
    p.drawLine(32, 32, 58, 32);
    p.drawLine(50, 32, 50, 42);
    p.drawLine(56, 32, 56, 40);
}

} // namespace

QImage DrawAppPicture(AppPicture picture)
{
    QImage image(kAppPictureSize, kAppPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case AppPicture::Bubble:
        drawBubble(painter, kAccent);
        break;
    case AppPicture::Convert:
        drawBubble(painter, QColor(46, 160, 90));
        break;
    case AppPicture::Stop:
        drawStop(painter);
        break;
    case AppPicture::Load:
        drawLoad(painter);
        break;
    case AppPicture::Save:
        drawSave(painter);
        break;
    case AppPicture::Settings:
        drawSettings(painter);
        break;
    case AppPicture::Record:
        drawRecord(painter);
        break;
    case AppPicture::Key:
        drawKey(painter);
        break;
    }
    painter.end();
    return image;
}
