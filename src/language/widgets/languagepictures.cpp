#include "language/widgets/languagepictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <functional>
#include <vector>

namespace {

// The flag's own area in the 16 x 16 picture: 16 wide, 11 high, centred.
const QRectF kFlag(0, 2.5, 16, 11);

QPixmap draw(const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return pixmap;
}

// A flag: the design clipped to the flag's area, then a thin grey edge.
QPixmap flag(const std::function<void(QPainter&)>& design)
{
    return draw([&](QPainter& p) {
        p.save();
        p.setClipRect(kFlag);
        p.setPen(Qt::NoPen);
        design(p);
        p.restore();
        p.setPen(QPen(QColor(0, 0, 0, 90), 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawRect(kFlag.adjusted(0.4, 0.4, -0.4, -0.4));
    });
}

void fill(QPainter& p, const QRectF& r, const QColor& c)
{
    p.fillRect(r, c);
}

// Equal horizontal bands, top to bottom.
QPixmap horizontal(const std::vector<QColor>& colours)
{
    return flag([colours](QPainter& p) {
        const qreal h = kFlag.height() / qreal(colours.size());
        for (size_t i = 0; i < colours.size(); ++i)
            fill(p, QRectF(0, kFlag.top() + h * qreal(i), 16, h + 0.1), colours[i]);
    });
}

// Equal vertical bands, left to right.
QPixmap vertical(const std::vector<QColor>& colours)
{
    return flag([colours](QPainter& p) {
        const qreal w = 16.0 / qreal(colours.size());
        for (size_t i = 0; i < colours.size(); ++i)
            fill(p, QRectF(w * qreal(i), kFlag.top(), w + 0.1, kFlag.height()), colours[i]);
    });
}

// A cross placed off centre towards the hoist, as on the Nordic flags.
QPixmap nordic(const QColor& ground, const QColor& cross)
{
    return flag([=](QPainter& p) {
        fill(p, kFlag, ground);
        fill(p, QRectF(4.5, kFlag.top(), 2.6, kFlag.height()), cross);
        fill(p, QRectF(0, 6.7, 16, 2.6), cross);
    });
}

QPolygonF star(QPointF centre, qreal outer, qreal inner, int points = 5, qreal turn = -90)
{
    QPolygonF polygon;
    for (int i = 0; i < points * 2; ++i) {
        const qreal r = i % 2 == 0 ? outer : inner;
        const qreal a = qDegreesToRadians(turn + i * 180.0 / points);
        polygon << QPointF(centre.x() + r * qCos(a), centre.y() + r * qSin(a));
    }
    return polygon;
}

void drawStar(QPainter& p, QPointF centre, qreal outer, const QColor& c)
{
    p.setBrush(c);
    p.drawPolygon(star(centre, outer, outer * 0.4));
}

const QColor kRed(206, 17, 38);
const QColor kWhite(255, 255, 255);
const QColor kBlue(0, 56, 168);
const QColor kGreen(0, 122, 61);
const QColor kYellow(252, 209, 22);
const QColor kBlack(20, 20, 20);

QPixmap blank()
{
    return flag([](QPainter& p) { fill(p, kFlag, QColor(236, 236, 236)); });
}

QPixmap unitedKingdom()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(1, 33, 105));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kWhite, 2.6));
        p.drawLine(kFlag.topLeft(), kFlag.bottomRight());
        p.drawLine(kFlag.bottomLeft(), kFlag.topRight());
        p.setPen(QPen(QColor(200, 16, 46), 1.0));
        p.drawLine(kFlag.topLeft(), kFlag.bottomRight());
        p.drawLine(kFlag.bottomLeft(), kFlag.topRight());
        p.setPen(Qt::NoPen);
        fill(p, QRectF(6, kFlag.top(), 4, kFlag.height()), kWhite);
        fill(p, QRectF(0, 6, 16, 4), kWhite);
        fill(p, QRectF(6.8, kFlag.top(), 2.4, kFlag.height()), QColor(200, 16, 46));
        fill(p, QRectF(0, 6.8, 16, 2.4), QColor(200, 16, 46));
    });
}

QPixmap unitedStates()
{
    return flag([](QPainter& p) {
        const qreal h = kFlag.height() / 7.0;
        for (int i = 0; i < 7; ++i)
            fill(p, QRectF(0, kFlag.top() + h * i, 16, h + 0.05), i % 2 ? kWhite : kRed);
        fill(p, QRectF(0, kFlag.top(), 7, h * 4), QColor(60, 59, 110));
        p.setBrush(kWhite);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawEllipse(QPointF(1.3 + col * 2.2, kFlag.top() + 1.2 + row * 1.9), 0.45, 0.45);
    });
}

QPixmap turkey()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(227, 10, 23));
        p.setBrush(kWhite);
        p.drawEllipse(QPointF(6, 8), 3.2, 3.2);
        p.setBrush(QColor(227, 10, 23));
        p.drawEllipse(QPointF(6.9, 8), 2.6, 2.6);
        drawStar(p, QPointF(10.3, 8), 1.5, kWhite);
    });
}

QPixmap albania()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(228, 30, 32));
        // A two-headed eagle, reduced to its outline.
        QPainterPath eagle;
        eagle.moveTo(8, 4.5);
        eagle.lineTo(10.5, 5.5);
        eagle.lineTo(12.5, 5);
        eagle.lineTo(11, 8);
        eagle.lineTo(9.5, 11.5);
        eagle.lineTo(8, 10.5);
        eagle.lineTo(6.5, 11.5);
        eagle.lineTo(5, 8);
        eagle.lineTo(3.5, 5);
        eagle.lineTo(5.5, 5.5);
        eagle.closeSubpath();
        p.setBrush(kBlack);
        p.drawPath(eagle);
    });
}

QPixmap saudiArabia()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(0, 108, 53));
        // The inscription as a white line, the sword under it.
        p.setPen(QPen(kWhite, 1.2));
        p.drawLine(QPointF(4, 6.5), QPointF(12, 6.5));
        p.setPen(QPen(kWhite, 0.8));
        p.drawLine(QPointF(4, 10), QPointF(12, 10));
    });
}

QPixmap china()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(222, 41, 16));
        drawStar(p, QPointF(3.5, 5.8), 2.0, QColor(255, 222, 0));
        for (const QPointF& c :
             {QPointF(6.5, 4), QPointF(7.5, 5.5), QPointF(7.5, 7.3), QPointF(6.5, 8.6)})
            drawStar(p, c, 0.7, QColor(255, 222, 0));
    });
}

QPixmap taiwan()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(254, 0, 0));
        fill(p, QRectF(0, kFlag.top(), 8, 5.5), QColor(0, 0, 149));
        p.setBrush(kWhite);
        p.drawPolygon(star(QPointF(4, 5.25), 2.2, 1.3, 12));
        p.setBrush(QColor(0, 0, 149));
        p.drawEllipse(QPointF(4, 5.25), 1.2, 1.2);
        p.setBrush(kWhite);
        p.drawEllipse(QPointF(4, 5.25), 0.9, 0.9);
    });
}

QPixmap czechia()
{
    return flag([](QPainter& p) {
        fill(p, QRectF(0, kFlag.top(), 16, 5.5), kWhite);
        fill(p, QRectF(0, 8, 16, 5.5), QColor(215, 20, 26));
        p.setBrush(QColor(17, 69, 126));
        p.drawPolygon(QPolygonF{kFlag.topLeft(), QPointF(8, 8), kFlag.bottomLeft()});
    });
}

QPixmap greece()
{
    return flag([](QPainter& p) {
        const QColor blue(13, 94, 175);
        const qreal h = kFlag.height() / 9.0;
        for (int i = 0; i < 9; ++i)
            fill(p, QRectF(0, kFlag.top() + h * i, 16, h + 0.05), i % 2 ? kWhite : blue);
        fill(p, QRectF(0, kFlag.top(), 6.1, h * 5), blue);
        fill(p, QRectF(2.45, kFlag.top(), 1.2, h * 5), kWhite);
        fill(p, QRectF(0, kFlag.top() + h * 2, 6.1, h), kWhite);
    });
}

QPixmap israel()
{
    return flag([](QPainter& p) {
        const QColor blue(0, 56, 184);
        fill(p, kFlag, kWhite);
        fill(p, QRectF(0, 3.7, 16, 1.3), blue);
        fill(p, QRectF(0, 11, 16, 1.3), blue);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(blue, 0.7));
        p.drawPolygon(QPolygonF{QPointF(8, 5.8), QPointF(10, 9.2), QPointF(6, 9.2)});
        p.drawPolygon(QPolygonF{QPointF(8, 10.2), QPointF(10, 6.8), QPointF(6, 6.8)});
    });
}

QPixmap japan()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, kWhite);
        p.setBrush(QColor(188, 0, 45));
        p.drawEllipse(QPointF(8, 8), 3.2, 3.2);
    });
}

QPixmap korea()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, kWhite);
        p.setBrush(QColor(205, 46, 58));
        p.drawPie(QRectF(5, 5, 6, 6), 0, 180 * 16);
        p.setBrush(QColor(0, 71, 160));
        p.drawPie(QRectF(5, 5, 6, 6), 180 * 16, 180 * 16);
        // The four trigrams as short black bars in the corners.
        p.setPen(QPen(kBlack, 0.8));
        p.drawLine(QPointF(1.5, 5), QPointF(3.5, 3.8));
        p.drawLine(QPointF(12.5, 3.8), QPointF(14.5, 5));
        p.drawLine(QPointF(1.5, 11), QPointF(3.5, 12.2));
        p.drawLine(QPointF(12.5, 12.2), QPointF(14.5, 11));
    });
}

QPixmap iran()
{
    return flag([](QPainter& p) {
        fill(p, QRectF(0, kFlag.top(), 16, 3.7), QColor(35, 159, 64));
        fill(p, QRectF(0, 6.2, 16, 3.7), kWhite);
        fill(p, QRectF(0, 9.8, 16, 3.7), QColor(218, 0, 0));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(218, 0, 0), 0.7));
        p.drawEllipse(QPointF(8, 8), 1.3, 1.3);
    });
}

QPixmap brazil()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(0, 156, 59));
        p.setBrush(QColor(255, 223, 0));
        p.drawPolygon(
            QPolygonF{QPointF(8, 3.5), QPointF(14.5, 8), QPointF(8, 12.5), QPointF(1.5, 8)});
        p.setBrush(QColor(0, 39, 118));
        p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    });
}

QPixmap portugal()
{
    return flag([](QPainter& p) {
        fill(p, QRectF(0, kFlag.top(), 6.4, kFlag.height()), QColor(0, 102, 0));
        fill(p, QRectF(6.4, kFlag.top(), 9.6, kFlag.height()), QColor(255, 0, 0));
        p.setBrush(QColor(255, 204, 0));
        p.drawEllipse(QPointF(6.4, 8), 2.4, 2.4);
        p.setBrush(kWhite);
        p.drawRect(QRectF(5.6, 7, 1.6, 2));
    });
}

// Three bands with a small shield towards the hoist, as Slovenia and Slovakia fly them.
QPixmap bandsWithShield(const QColor& shield, const QColor& mark, qreal x)
{
    return flag([=](QPainter& p) {
        fill(p, QRectF(0, kFlag.top(), 16, 3.7), kWhite);
        fill(p, QRectF(0, 6.2, 16, 3.7), kBlue);
        fill(p, QRectF(0, 9.8, 16, 3.7), kRed);
        QPainterPath outline;
        outline.moveTo(x, 4);
        outline.lineTo(x + 4, 4);
        outline.lineTo(x + 4, 8.5);
        outline.quadTo(x + 4, 11, x + 2, 11.8);
        outline.quadTo(x, 11, x, 8.5);
        outline.closeSubpath();
        p.setPen(QPen(kWhite, 0.6));
        p.setBrush(shield);
        p.drawPath(outline);
        p.setPen(QPen(mark, 0.8));
        p.drawLine(QPointF(x + 2, 5.2), QPointF(x + 2, 10));
        p.drawLine(QPointF(x + 1, 6.8), QPointF(x + 3, 6.8));
    });
}

QPixmap spain()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(170, 21, 27));
        fill(p, QRectF(0, 5.25, 16, 5.5), QColor(241, 191, 0));
        p.setBrush(QColor(170, 21, 27));
        p.drawRect(QRectF(3.5, 6.5, 2, 3));
    });
}

QPixmap vietnam()
{
    return flag([](QPainter& p) {
        fill(p, kFlag, QColor(218, 37, 29));
        drawStar(p, QPointF(8, 8.3), 3.6, QColor(255, 255, 0));
    });
}

QPixmap tick()
{
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(30, 150, 60), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF{QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)});
    });
}

QPixmap copy()
{
    return draw([](QPainter& p) {
        p.setPen(QPen(QColor(70, 90, 120), 1));
        p.setBrush(QColor(230, 236, 245));
        p.drawRect(QRectF(1.5, 1.5, 8, 10));
        p.setBrush(kWhite);
        p.drawRect(QRectF(6.5, 4.5, 8, 10));
        p.setPen(QPen(QColor(120, 140, 170), 0.8));
        for (qreal y : {7.5, 9.5, 11.5})
            p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
    });
}

QPixmap make(int index)
{
    switch (index) {
    case 1:
        return unitedKingdom();
    case 2:
        return horizontal({kBlack, QColor(221, 0, 0), QColor(255, 206, 0)});
    case 3:
        return vertical({QColor(0, 85, 164), kWhite, QColor(239, 65, 53)});
    case 4:
        return turkey();
    case 5:
        return albania();
    case 6:
        return saudiArabia();
    case 7:
        return horizontal({kWhite, QColor(0, 150, 110), QColor(214, 38, 18)});
    case 8:
        return china();
    case 9:
        return taiwan();
    case 10:
        return czechia();
    case 11:
        return horizontal({QColor(174, 28, 40), kWhite, QColor(33, 70, 139)});
    case 12:
        return nordic(kWhite, QColor(0, 47, 108));
    case 13:
        return greece();
    case 14:
        return israel();
    case 15:
        return horizontal({QColor(206, 41, 57), kWhite, QColor(71, 112, 80)});
    case 16:
        return vertical({QColor(0, 146, 70), kWhite, QColor(206, 43, 55)});
    case 17:
        return japan();
    case 18:
        return korea();
    case 19:
        return iran();
    case 20:
        return horizontal({kWhite, QColor(220, 20, 60)});
    case 21:
        return brazil();
    case 22:
        return portugal();
    case 23:
        return vertical({QColor(0, 43, 127), kYellow, QColor(206, 17, 38)});
    case 24:
        return horizontal({kWhite, QColor(0, 57, 166), QColor(213, 43, 30)});
    case 25:
        return bandsWithShield(kBlue, kWhite, 3);
    case 26:
        return spain();
    case 27:
        return nordic(QColor(0, 106, 167), QColor(254, 204, 0));
    case 28:
        return horizontal({QColor(0, 87, 183), QColor(255, 215, 0)});
    case 29:
        return vietnam();
    case 30:
        return bandsWithShield(kRed, kWhite, 4);
    case 31:
        return unitedStates();
    case 32:
        return tick();
    case 33:
        return copy();
    default:
        return blank();
    }
}

} // namespace

namespace LanguagePictures {

QPixmap picture(int index)
{
    // Drawn on each call: a pixmap kept in a static would outlive the application object.
    return make(index >= 0 && index < Count ? index : int(BlankFlag));
}

QPixmap globe(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(20, 70, 130), 1.8));
    p.setBrush(QColor(120, 180, 235));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3, 12, 26));
    p.drawLine(QPointF(16, 3), QPointF(16, 29));
    p.drawLine(QPointF(3, 16), QPointF(29, 16));
    p.drawLine(QPointF(5.5, 9.5), QPointF(26.5, 9.5));
    p.drawLine(QPointF(5.5, 22.5), QPointF(26.5, 22.5));
    return pixmap;
}

} // namespace LanguagePictures
