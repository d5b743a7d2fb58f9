#include "services/widgets/servicepictures.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

// Each picture is drawn on a 32 x 32 canvas, scaled to the size asked for.
QPixmap draw(int size, const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    paint(painter);
    return pixmap;
}

void drawFace(QPainter& p, const QColor& fill, bool smiling)
{
    p.setPen(QPen(QColor(90, 60, 10), 1.6));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(QColor(60, 40, 10));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(10, 10, 3.5, 5));
    p.drawEllipse(QRectF(18.5, 10, 3.5, 5));
    QPainterPath mouth;
    if (smiling) {
        mouth.moveTo(9, 19);
        mouth.quadTo(16, 27, 23, 19);
    } else {
        mouth.moveTo(9.5, 24);
        mouth.quadTo(16, 17.5, 22.5, 24);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(60, 40, 10), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(mouth);
}

} // namespace

namespace ServicePictures {

QPixmap close(int size)
{
    return draw(size, [](QPainter& p) {
        p.setPen(QPen(QColor(70, 70, 70), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 9), QPointF(23, 23));
        p.drawLine(QPointF(23, 9), QPointF(9, 23));
    });
}

QPixmap smile(int size)
{
    return draw(size, [](QPainter& p) { drawFace(p, QColor(255, 214, 64), true); });
}

QPixmap frown(int size)
{
    return draw(size, [](QPainter& p) { drawFace(p, QColor(250, 170, 80), false); });
}

QPixmap feedback(int size)
{
    return draw(size, [](QPainter& p) {
        QPainterPath wing;
        wing.moveTo(2, 15);
        wing.lineTo(30, 3);
        wing.lineTo(13, 19);
        wing.closeSubpath();
        QPainterPath body;
        body.moveTo(13, 19);
        body.lineTo(30, 3);
        body.lineTo(21, 29);
        body.closeSubpath();
        QPainterPath fold;
        fold.moveTo(13, 19);
        fold.lineTo(14, 28);
        fold.lineTo(17.5, 22.5);
        fold.closeSubpath();
        p.setPen(QPen(QColor(24, 82, 150), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(104, 170, 240));
        p.drawPath(wing);
        p.setBrush(QColor(64, 134, 214));
        p.drawPath(body);
        p.setBrush(QColor(24, 82, 150));
        p.drawPath(fold);
    });
}

} // namespace ServicePictures
