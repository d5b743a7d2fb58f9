#include "about/aboutpictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

QPixmap draw(QSize size, qreal pixelRatio, const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paint(painter);
    return pixmap;
}

const QColor kGreen(70, 230, 120);

} // namespace

namespace AboutPictures {

QPixmap logo(const QString& productName, qreal pixelRatio)
{
    return draw(QSize(344, 105), pixelRatio, [&](QPainter& p) {
        // A speech bubble carrying a sound wave, in the effect's green.
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(14, 18, 78, 56), 14, 14);
        QPainterPath tail;
        tail.moveTo(32, 72);
        tail.lineTo(26, 92);
        tail.lineTo(50, 72);
        tail.closeSubpath();
        QLinearGradient fill(0, 18, 0, 92);
        fill.setColorAt(0, QColor(40, 160, 90));
        fill.setColorAt(1, QColor(12, 80, 40));
        p.setPen(QPen(kGreen, 2.5));
        p.setBrush(fill);
        p.drawPath(bubble.united(tail));
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
        const int heights[] = {10, 22, 34, 18, 28, 12};
        for (int i = 0; i < 6; ++i) {
            const qreal x = 30 + i * 9.5;
            p.drawLine(QPointF(x, 46 - heights[i] / 2.0), QPointF(x, 46 + heights[i] / 2.0));
        }
        // The name, with a quiet line of subtitle marks beneath it.
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(40);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(108, 14, 232, 54), Qt::AlignLeft | Qt::AlignVCenter, productName);
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawRoundedRect(QRectF(110, 72, 120, 6), 3, 3);
        p.setBrush(QColor(40, 140, 80));
        p.drawRoundedRect(QRectF(110, 84, 84, 6), 3, 3);
    });
}

QPixmap cat(qreal pixelRatio)
{
    return draw(QSize(320, 214), pixelRatio, [](QPainter& p) {
        QLinearGradient sky(0, 0, 0, 214);
        sky.setColorAt(0, QColor(10, 20, 48));
        sky.setColorAt(1, QColor(28, 44, 86));
        p.fillRect(QRectF(0, 0, 320, 214), sky);
        // Stars and a crescent moon.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 230, 200));
        const QPointF stars[] = {{30, 24}, {74, 52}, {120, 18}, {168, 40}, {292, 96}, {22, 96}};
        for (const QPointF& star : stars)
            p.drawEllipse(star, 1.6, 1.6);
        QPainterPath moon;
        moon.addEllipse(QPointF(252, 48), 26, 26);
        QPainterPath bite;
        bite.addEllipse(QPointF(264, 40), 24, 24);
        p.setBrush(QColor(250, 236, 170));
        p.drawPath(moon.subtracted(bite));
        // A roof line for the cat to sleep on.
        p.setBrush(QColor(16, 16, 24));
        p.drawRect(QRectF(0, 176, 320, 38));
        // The cat, curled up: body, head, ears and tail.
        const QColor fur(236, 150, 70);
        p.setBrush(fur);
        p.drawEllipse(QRectF(104, 120, 120, 62));
        p.drawEllipse(QRectF(188, 112, 54, 48));
        QPainterPath ears;
        ears.moveTo(192, 126);
        ears.lineTo(196, 100);
        ears.lineTo(212, 116);
        ears.closeSubpath();
        ears.moveTo(220, 114);
        ears.lineTo(236, 100);
        ears.lineTo(240, 128);
        ears.closeSubpath();
        p.drawPath(ears);
        p.setPen(QPen(fur, 14, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath tail;
        tail.moveTo(112, 160);
        tail.cubicTo(80, 176, 120, 196, 170, 180);
        p.drawPath(tail);
        // Closed eyes and a few stripes.
        p.setPen(QPen(QColor(90, 50, 20), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(198, 132, 12, 8), 200 * 16, 140 * 16);
        p.drawArc(QRectF(220, 132, 12, 8), 200 * 16, 140 * 16);
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(140 + i * 18, 124), QPointF(146 + i * 18, 140));
        // Zzz.
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(16);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(200, 220, 255));
        p.drawText(QPointF(246, 104), QStringLiteral("z"));
        p.drawText(QPointF(258, 90), QStringLiteral("z"));
        p.drawText(QPointF(272, 74), QStringLiteral("Z"));
    });
}

QPixmap arrow(qreal pixelRatio)
{
    return draw(QSize(12, 12), pixelRatio, [](QPainter& p) {
        QPainterPath path;
        path.moveTo(2, 4);
        path.lineTo(10, 4);
        path.lineTo(6, 9);
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(path);
    });
}

} // namespace AboutPictures
