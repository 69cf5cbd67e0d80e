#include "AppImages.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace AppImages {
namespace {

constexpr int kImageCount = 13;

// The picture font: the installed CJK face first, so Chinese never falls back to boxes.
QFont pictureFont(int pixelSize, bool bold, bool serif = false)
{
    QFont font;
    QStringList families;
    if (serif)
        families << u"Noto Serif CJK SC"_s << u"Source Han Serif SC"_s;
    families << u"Noto Sans CJK SC"_s << u"Source Han Sans SC"_s << u"WenQuanYi Micro Hei"_s << u"WenQuanYi Zen Hei"_s
             << u"Droid Sans Fallback"_s;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, pixelSize));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// --- drawing helpers ------------------------------------------------------------------------
// Every image is drawn in its own unit square (32 units for the image list) with the painter
// scaled to the target; `lw` is the outline width in units, one device pixel or more.

struct Pens
{
    qreal lw; // outline width in units
    qreal scale; // device pixels per unit
    bool small() const { return scale < 0.75; }
};

QLinearGradient vertical(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// The family look: a soft top-to-bottom gradient of the base colour.
QLinearGradient soft(const QRectF &r, const QColor &base)
{
    return vertical(r, base.lighter(132), base.darker(104));
}

QColor edgeOf(const QColor &base)
{
    return base.darker(175);
}

void fillShape(QPainter &p, const QPainterPath &path, const QBrush &fill, const QColor &edge, qreal lw)
{
    p.setPen(QPen(edge, lw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void softShape(QPainter &p, const QPainterPath &path, const QColor &base, qreal lw)
{
    fillShape(p, path, soft(path.boundingRect(), base), edgeOf(base), lw);
}

void strokeLine(QPainter &p, QPointF a, QPointF b, const QColor &c, qreal w)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(a, b);
}

QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath ellipse(QPointF c, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(c, rx, ry);
    return path;
}

// A block arrow from tail to tip.
QPainterPath arrow(QPointF tail, QPointF tip, qreal shaft, qreal headWidth, qreal headLength)
{
    const qreal dx = tip.x() - tail.x();
    const qreal dy = tip.y() - tail.y();
    const qreal len = std::hypot(dx, dy);
    QPainterPath path;
    path.moveTo(0, -shaft / 2);
    path.lineTo(len - headLength, -shaft / 2);
    path.lineTo(len - headLength, -headWidth / 2);
    path.lineTo(len, 0);
    path.lineTo(len - headLength, headWidth / 2);
    path.lineTo(len - headLength, shaft / 2);
    path.lineTo(0, shaft / 2);
    path.closeSubpath();
    QTransform t;
    t.translate(tail.x(), tail.y());
    t.rotate(qRadiansToDegrees(std::atan2(dy, dx)));
    return t.map(path);
}

void blockArrow(QPainter &p, QPointF tail, QPointF tip, const QColor &base, qreal lw, qreal shaft = 5.0,
    qreal headWidth = 12.0, qreal headLength = 7.0)
{
    const QPainterPath path = arrow(tail, tip, shaft, headWidth, headLength);
    const QRectF r = path.boundingRect();
    fillShape(p, path, vertical(r, base.lighter(140), base), edgeOf(base), lw);
}

// A paper sheet whose top-right corner is folded over.
void paperSheet(QPainter &p, const QRectF &r, qreal fold, qreal lw)
{
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    fillShape(p, sheet, vertical(r, QColor(0xFFFFFFu), QColor(0xE6ECF3u)), QColor(0x7D8A9Cu), lw);
    QPainterPath dog;
    dog.moveTo(r.right() - fold, r.top());
    dog.lineTo(r.right() - fold, r.top() + fold);
    dog.lineTo(r.right(), r.top() + fold);
    dog.closeSubpath();
    fillShape(p, dog, QColor(0xD5DDE8u), QColor(0x7D8A9Cu), lw);
}

// A round clock with a coloured bezel.
void clockBadge(QPainter &p, QPointF c, qreal r, const QColor &ring, const Pens &pens)
{
    softShape(p, ellipse(c, r, r), ring, pens.lw);
    const qreal face = r * 0.70;
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(QRectF(c.x() - face, c.y() - face, 2 * face, 2 * face), QColor(0xFFFFFFu), QColor(0xE9EEF4u)));
    p.drawEllipse(c, face, face);
    const QColor hand(0x2C3440u);
    if (!pens.small()) {
        for (int i = 0; i < 4; ++i) {
            const qreal a = i * M_PI / 2;
            const QPointF dir(std::cos(a), std::sin(a));
            strokeLine(p, c + dir * (face * 0.78), c + dir * (face * 0.92), QColor(0x8A96A6u), pens.lw * 0.9);
        }
    }
    const qreal hw = std::max(1.5, pens.lw * 1.2);
    strokeLine(p, c, c + QPointF(0, -face * 0.72), hand, hw);
    strokeLine(p, c, c + QPointF(face * 0.55, face * 0.1), hand, hw);
    p.setPen(Qt::NoPen);
    p.setBrush(ring.darker(150));
    p.drawEllipse(c, hw * 0.75, hw * 0.75);
}

// A gold coin face with the yuan sign.
void coin(QPainter &p, QPointF c, qreal r, const Pens &pens)
{
    QRadialGradient g(c + QPointF(-r * 0.35, -r * 0.4), r * 1.5);
    g.setColorAt(0, QColor(0xFFF3B0u));
    g.setColorAt(0.45, QColor(0xFFD54Du));
    g.setColorAt(1, QColor(0xE09A16u));
    fillShape(p, ellipse(c, r, r), g, QColor(0x9C6508u), pens.lw);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xC98A10u), pens.lw));
    p.drawEllipse(c, r * 0.76, r * 0.76);
    // ¥
    const qreal s = r / 10.5;
    const QColor ink(0x8A5300u);
    const qreal w = std::max(2.0 * s, pens.lw * (pens.small() ? 1.2 : 1.6));
    QPainterPath yen;
    yen.moveTo(c + QPointF(-4.2 * s, -5.2 * s));
    yen.lineTo(c + QPointF(0, -0.4 * s));
    yen.lineTo(c + QPointF(4.2 * s, -5.2 * s));
    yen.moveTo(c + QPointF(0, -0.4 * s));
    yen.lineTo(c + QPointF(0, 6.0 * s));
    yen.moveTo(c + QPointF(-3.6 * s, 0.9 * s));
    yen.lineTo(c + QPointF(3.6 * s, 0.9 * s));
    yen.moveTo(c + QPointF(-3.6 * s, 3.6 * s));
    yen.lineTo(c + QPointF(3.6 * s, 3.6 * s));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(yen);
}

// A pencil lying from its tip towards `angle` degrees (screen coordinates).
void pencil(QPainter &p, QPointF tip, qreal angle, qreal length, qreal width, const Pens &pens)
{
    p.save();
    p.translate(tip);
    p.rotate(angle);
    const qreal h = width / 2;
    const qreal cone = width * 1.15;
    const qreal ferrule = width * 0.45;
    const qreal eraser = width * 0.7;
    const qreal bodyEnd = length - ferrule - eraser;
    // wood cone and lead
    QPainterPath wood;
    wood.moveTo(0, 0);
    wood.lineTo(cone, -h);
    wood.lineTo(cone, h);
    wood.closeSubpath();
    fillShape(p, wood, QColor(0xF3D9A9u), QColor(0x8C6A3Au), pens.lw);
    QPainterPath lead;
    lead.moveTo(0, 0);
    lead.lineTo(cone * 0.38, -h * 0.38);
    lead.lineTo(cone * 0.38, h * 0.38);
    lead.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A3A3Au));
    p.drawPath(lead);
    // body
    const QRectF body(cone, -h, bodyEnd - cone, width);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, QColor(0xFFE58Au));
    g.setColorAt(0.5, QColor(0xF7C234u));
    g.setColorAt(1, QColor(0xD99A12u));
    QPainterPath bodyPath;
    bodyPath.addRect(body);
    fillShape(p, bodyPath, g, QColor(0x8F6106u), pens.lw);
    // metal band and eraser
    QPainterPath band;
    band.addRect(QRectF(bodyEnd, -h, ferrule, width));
    fillShape(p, band, vertical(band.boundingRect(), QColor(0xE8ECF0u), QColor(0x9AA3ADu)), QColor(0x5F6872u), pens.lw);
    QPainterPath rubber;
    rubber.addRoundedRect(QRectF(bodyEnd + ferrule, -h, eraser, width), width * 0.25, width * 0.25);
    fillShape(
        p, rubber, vertical(rubber.boundingRect(), QColor(0xF9A7B0u), QColor(0xE0707Du)), QColor(0x9B3F4Au), pens.lw);
    p.restore();
}

// --- the image list -------------------------------------------------------------------------

const QColor kIncome(0x129E92u); // blue-green
const QColor kExpense(0xD8432Fu);
const QColor kBlue(0x2A78D0u);
const QColor kRed(0xD9402Eu);

void drawMoney(QPainter &p, const Pens &pens, bool income)
{
    coin(p, QPointF(12.5, 19.5), 10.5, pens);
    if (income)
        blockArrow(p, QPointF(30.0, 2.5), QPointF(18.0, 14.5), kIncome, pens.lw, 5.5, 13.0, 7.5);
    else
        blockArrow(p, QPointF(17.5, 15.0), QPointF(30.0, 2.5), kExpense, pens.lw, 5.5, 13.0, 7.5);
}

void drawGetPay(QPainter &p, const Pens &pens, const QColor &accent)
{
    const QRectF sheet(4.5, 2.5, 18.0, 24.0);
    paperSheet(p, sheet, 5.0, pens.lw);
    // coloured heading and ruled lines
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRect(QRectF(7.5, 6.0, 8.0, 2.5));
    const QColor rule(0x9AA6B6u);
    const qreal w = pens.small() ? 2.0 : 1.2;
    const qreal ys[] = { 11.5, 15.0, 18.5 };
    for (const qreal y : ys)
        strokeLine(p, QPointF(7.5, y), QPointF(y > 17 ? 12.5 : 19.0, y), rule, w);
    clockBadge(p, QPointF(22.0, 22.0), 8.5, accent, pens);
}

void drawBookInfo(QPainter &p, const Pens &pens)
{
    const QColor cover(0x2F8F5Bu);
    // pages seen past the cover
    QPainterPath pages = roundedRect(QRectF(7.5, 5.5, 17.0, 24.0), 1.5);
    fillShape(
        p, pages, vertical(pages.boundingRect(), QColor(0xFFFDF4u), QColor(0xEFE6CCu)), QColor(0x9C8D68u), pens.lw);
    if (!pens.small()) {
        strokeLine(p, QPointF(9.0, 27.5), QPointF(23.0, 27.5), QColor(0xCFC3A0u), pens.lw * 0.8);
        strokeLine(p, QPointF(23.0, 8.0), QPointF(23.0, 27.5), QColor(0xCFC3A0u), pens.lw * 0.8);
    }
    const QRectF coverRect(4.5, 3.5, 18.0, 23.5);
    softShape(p, roundedRect(coverRect, 1.5), cover, pens.lw);
    // spine
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(coverRect, cover.darker(120), cover.darker(140)));
    p.drawRect(QRectF(5.0, 4.0, 3.5, 22.5));
    // label
    fillShape(p, roundedRect(QRectF(11.0, 7.5, 8.5, 5.5), 1.0), QColor(0xFFF8E1u), QColor(0x1E6640u), pens.lw);
    if (!pens.small())
        strokeLine(p, QPointF(12.8, 10.25), QPointF(17.7, 10.25), QColor(0x6F8C7Au), pens.lw);
    pencil(p, QPointF(14.0, 30.0), -45.0, 22.0, 5.5, pens);
}

void drawClose(QPainter &p, const Pens &pens)
{
    const QPointF c(16.0, 16.0);
    QRadialGradient g(QPointF(13.0, 10.0), 17.0);
    g.setColorAt(0, QColor(0xFF8A7Au));
    g.setColorAt(0.55, QColor(0xE5483Au));
    g.setColorAt(1, QColor(0xB52A20u));
    fillShape(p, ellipse(c, 13.0, 13.0), g, QColor(0x8E1F17u), pens.lw);
    // glossy cap
    QPainterPath gloss = ellipse(QPointF(16.0, 10.0), 9.0, 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(gloss.boundingRect(), QColor(255, 255, 255, 120), QColor(255, 255, 255, 10)));
    p.drawPath(gloss);
    const qreal w = pens.small() ? 4.0 : 3.6;
    strokeLine(p, QPointF(11.0, 11.0), QPointF(21.0, 21.0), QColor(0x7A1A12u), w + pens.lw * 1.2);
    strokeLine(p, QPointF(21.0, 11.0), QPointF(11.0, 21.0), QColor(0x7A1A12u), w + pens.lw * 1.2);
    strokeLine(p, QPointF(11.0, 11.0), QPointF(21.0, 21.0), Qt::white, w);
    strokeLine(p, QPointF(21.0, 11.0), QPointF(11.0, 21.0), Qt::white, w);
}

void standingBook(QPainter &p, const QRectF &r, const QColor &base, const Pens &pens)
{
    softShape(p, roundedRect(r, 1.2), base, pens.lw);
    const QColor band = base.lighter(165);
    const qreal w = pens.small() ? 2.0 : 1.3;
    strokeLine(p, QPointF(r.left() + 1.6, r.top() + 3.2), QPointF(r.right() - 1.6, r.top() + 3.2), band, w);
    strokeLine(p, QPointF(r.left() + 1.6, r.bottom() - 3.2), QPointF(r.right() - 1.6, r.bottom() - 3.2), band, w);
    if (!pens.small()) {
        const QRectF label(r.left() + 1.8, r.top() + 6.5, r.width() - 3.6, 5.0);
        fillShape(p, roundedRect(label, 0.6), QColor(0xFFF8E6u), base.darker(160), pens.lw * 0.8);
    }
}

void drawBooks(QPainter &p, const Pens &pens)
{
    // shelf
    softShape(p, roundedRect(QRectF(1.5, 27.5, 29.0, 3.0), 1.0), QColor(0xA9743Bu), pens.lw);
    standingBook(p, QRectF(3.5, 7.5, 7.0, 20.0), QColor(0x2F6FC0u), pens);
    standingBook(p, QRectF(10.5, 3.5, 7.5, 24.0), QColor(0x2F8F5Bu), pens);
    p.save();
    p.translate(18.8, 27.4);
    p.rotate(16.0);
    standingBook(p, QRectF(0.0, -21.5, 7.0, 21.5), QColor(0xD9692Au), pens);
    p.restore();
}

void drawMoneyReport(QPainter &p, const Pens &pens)
{
    const QRectF sheet(4.5, 2.5, 23.0, 27.0);
    fillShape(
        p, roundedRect(sheet, 1.5), vertical(sheet, QColor(0xFFFFFFu), QColor(0xE8EEF5u)), QColor(0x6F7D90u), pens.lw);
    // heading band
    QPainterPath head;
    head.addRoundedRect(QRectF(6.0, 4.0, 20.0, 5.0), 1.0, 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(soft(head.boundingRect(), QColor(0x3C87D6u)));
    p.drawPath(head);
    const QColor grid(0xB7C2D0u);
    const qreal w = pens.small() ? 1.6 : 1.0;
    const qreal barW = pens.small() ? 2.4 : 2.0;
    const qreal rows[] = { 12.5, 16.5, 20.5, 24.5 };
    for (int i = 0; i < 4; ++i) {
        const qreal y = rows[i];
        strokeLine(p, QPointF(7.5, y), QPointF(13.5, y), grid, w);
        const QColor c = (i % 2 == 0) ? kBlue : kRed;
        strokeLine(p, QPointF(16.5, y), QPointF(i == 2 ? 21.5 : 24.0, y), c, barW);
    }
    if (!pens.small())
        strokeLine(p, QPointF(15.0, 10.5), QPointF(15.0, 26.5), grid, pens.lw * 0.8);
}

void drawGetPayReport(QPainter &p, const Pens &pens)
{
    // clipboard
    const QRectF board(3.5, 4.5, 21.0, 25.5);
    softShape(p, roundedRect(board, 2.0), QColor(0xB37B3Eu), pens.lw);
    const QRectF sheet(6.0, 8.0, 16.0, 19.5);
    p.setPen(QPen(QColor(0x8E9AAAu), pens.lw));
    p.setBrush(vertical(sheet, QColor(0xFFFFFFu), QColor(0xEDF1F6u)));
    p.drawRect(sheet);
    QPainterPath clip = roundedRect(QRectF(9.5, 2.5, 9.0, 5.5), 1.5);
    fillShape(p, clip, vertical(clip.boundingRect(), QColor(0xF2F4F7u), QColor(0x9BA5B1u)), QColor(0x56606Bu), pens.lw);
    const qreal w = pens.small() ? 1.8 : 1.2;
    const qreal ys[] = { 12.0, 16.0, 20.0 };
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(i == 1 ? kRed : kBlue);
        p.drawEllipse(QPointF(8.7, ys[i]), 1.3, 1.3);
        strokeLine(p, QPointF(11.5, ys[i]), QPointF(i == 2 ? 15.0 : 19.5, ys[i]), QColor(0x8F9BABu), w);
    }
    clockBadge(p, QPointF(23.0, 23.0), 8.0, QColor(0xE98A1Eu), pens);
}

void drawStatistics(QPainter &p, const Pens &pens)
{
    const QColor axis(0x4A5563u);
    const struct
    {
        qreal x;
        qreal top;
        QRgb colour;
    } bars[] = { { 6.5, 17.5, 0x2A78D0u }, { 13.5, 10.5, 0x23A37Au }, { 20.5, 14.5, 0xF09A22u } };
    for (const auto &b : bars)
        softShape(p, roundedRect(QRectF(b.x, b.top, 5.5, 27.5 - b.top), 0.8), QColor(b.colour), pens.lw);
    // trend line
    const QPointF pts[] = { { 9.25, 13.0 }, { 16.25, 6.0 }, { 23.25, 9.5 }, { 29.0, 3.0 } };
    const QColor trend(0xD9402Eu);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, (pens.small() ? 2.0 : 1.6) + 1.6 * pens.lw, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(pts, 4);
    p.setPen(QPen(trend, pens.small() ? 2.0 : 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(pts, 4);
    if (!pens.small()) {
        for (int i = 0; i < 3; ++i)
            fillShape(p, ellipse(pts[i], 1.5, 1.5), Qt::white, trend, pens.lw);
    }
    // axes
    p.setPen(QPen(axis, pens.small() ? 2.0 : 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF axes[] = { { 3.5, 3.5 }, { 3.5, 28.0 }, { 29.5, 28.0 } };
    p.drawPolyline(axes, 3);
}

void drawPanelToggle(QPainter &p, const Pens &pens, bool right)
{
    p.save();
    if (right) {
        p.translate(32.0, 0.0);
        p.scale(-1.0, 1.0);
    }
    const QRectF frame(2.5, 4.5, 27.0, 23.0);
    fillShape(p, roundedRect(frame, 2.0), QColor(0xFFFFFFu), QColor(0x4D6683u), pens.lw);
    // title bar
    QPainterPath bar;
    bar.addRoundedRect(QRectF(3.0, 5.0, 26.0, 4.5), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(soft(bar.boundingRect(), QColor(0x3F7FCBu)));
    p.drawPath(bar);
    // side panel
    const QRectF side(3.0, 9.5, 9.5, 17.5);
    p.setBrush(vertical(side, QColor(0xCFE3F8u), QColor(0x9FC3EAu)));
    p.drawRect(side);
    strokeLine(p, QPointF(12.5, 9.5), QPointF(12.5, 27.0), QColor(0x4D6683u), pens.lw);
    // content lines
    const QColor text(0xB9C4D1u);
    const qreal w = pens.small() ? 1.8 : 1.2;
    strokeLine(p, QPointF(15.5, 13.5), QPointF(26.0, 13.5), text, w);
    strokeLine(p, QPointF(15.5, 17.5), QPointF(24.0, 17.5), text, w);
    strokeLine(p, QPointF(15.5, 21.5), QPointF(26.0, 21.5), text, w);
    // chevron pointing to the side
    p.setPen(QPen(QColor(0x1F4E8Au), pens.small() ? 2.4 : 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF chevron[] = { { 9.0, 14.5 }, { 6.3, 18.25 }, { 9.0, 22.0 } };
    p.drawPolyline(chevron, 3);
    p.restore();
}

void drawExit(QPainter &p, const Pens &pens)
{
    // door frame with the dark opening
    const QRectF frame(4.5, 3.5, 16.0, 26.0);
    softShape(p, roundedRect(frame, 0.8), QColor(0x8A5A2Bu), pens.lw);
    const QRectF opening(7.0, 6.0, 11.0, 23.5);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(opening, QColor(0x2B3440u), QColor(0x4A5666u)));
    p.drawRect(opening);
    // the door leaf swung open towards the viewer
    QPainterPath leaf;
    leaf.moveTo(7.0, 6.0);
    leaf.lineTo(13.0, 3.0);
    leaf.lineTo(13.0, 31.0);
    leaf.lineTo(7.0, 29.5);
    leaf.closeSubpath();
    fillShape(p, leaf, vertical(leaf.boundingRect(), QColor(0xE0A866u), QColor(0xB8773Au)), QColor(0x6B4219u), pens.lw);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF6E08Au));
    p.drawEllipse(QPointF(11.4, 17.5), 1.0, 1.2);
    blockArrow(p, QPointF(14.0, 17.0), QPointF(30.5, 17.0), QColor(0x2E9E4Fu), pens.lw, 5.0, 12.0, 7.0);
}

void drawImage(QPainter &p, int index, const Pens &pens)
{
    switch (index) {
    case ImgMoneyIn:
        drawMoney(p, pens, true);
        break;
    case ImgMoneyOut:
        drawMoney(p, pens, false);
        break;
    case ImgGet:
        drawGetPay(p, pens, kBlue);
        break;
    case ImgPay:
        drawGetPay(p, pens, kRed);
        break;
    case ImgBookInfo:
        drawBookInfo(p, pens);
        break;
    case ImgCloseWindow:
        drawClose(p, pens);
        break;
    case ImgTabBooks:
        drawBooks(p, pens);
        break;
    case ImgTabMoneyReport:
        drawMoneyReport(p, pens);
        break;
    case ImgTabGetPayReport:
        drawGetPayReport(p, pens);
        break;
    case ImgTabStatistics:
        drawStatistics(p, pens);
        break;
    case ImgLeftPanel:
        drawPanelToggle(p, pens, false);
        break;
    case ImgRightPanel:
        drawPanelToggle(p, pens, true);
        break;
    case ImgExit:
        drawExit(p, pens);
        break;
    default:
        break;
    }
}

// Draws list image `index` into the square `target` of a painter whose device pixels per
// logical unit are `dpr`.
void paintImage(QPainter &p, int index, const QRectF &target, qreal dpr)
{
    const qreal unit = target.width() / 32.0;
    const qreal scale = unit * dpr;
    Pens pens;
    pens.scale = scale;
    pens.lw = std::max<qreal>(1.0, std::round(scale)) / scale;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(target.topLeft());
    p.scale(unit, unit);
    drawImage(p, index, pens);
    p.restore();
}

QPixmap renderImage(int index, int logicalSize, qreal dpr)
{
    const int px = qCeil(logicalSize * dpr);
    QPixmap pm(px, px);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paintImage(p, index, QRectF(0, 0, logicalSize, logicalSize), dpr);
    p.end();
    return pm;
}

// Greyed, faded copy for disabled actions.
QPixmap disabledLook(const QPixmap &pm)
{
    QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            const int grey = (qGray(c) * 5 + 255 * 3) / 8;
            line[x] = qRgba(grey, grey, grey, qAlpha(c) * 11 / 20);
        }
    }
    QPixmap out = QPixmap::fromImage(img);
    out.setDevicePixelRatio(pm.devicePixelRatio());
    return out;
}

// --- program icon and book icon ----------------------------------------------------------------

// The pomelo in a 64-unit square.
void drawPomelo(QPainter &p, qreal scale)
{
    const qreal lw = std::max<qreal>(1.0, std::round(scale * 1.2)) / scale;
    QPainterPath body;
    body.moveTo(32, 13);
    body.cubicTo(46, 13, 58, 27, 58, 41);
    body.cubicTo(58, 54, 46, 61, 32, 61);
    body.cubicTo(18, 61, 6, 54, 6, 41);
    body.cubicTo(6, 27, 18, 13, 32, 13);
    QRadialGradient g(QPointF(25, 30), 38, QPointF(22, 27));
    g.setColorAt(0, QColor(0xF8F7B0u));
    g.setColorAt(0.35, QColor(0xDCE865u));
    g.setColorAt(0.75, QColor(0x9CC73Cu));
    g.setColorAt(1, QColor(0x5E972Au));
    fillShape(p, body, g, QColor(0x3C6A1Cu), lw);
    if (scale >= 0.5) {
        // a few pores on the peel
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 150, 40, 70));
        const QPointF pores[]
            = { { 40, 30 }, { 46, 38 }, { 38, 48 }, { 48, 50 }, { 28, 54 }, { 18, 46 }, { 44, 24 }, { 52, 44 } };
        for (const QPointF &pt : pores)
            p.drawEllipse(pt, 0.9, 0.9);
    }
    // highlight
    p.save();
    p.translate(21, 29);
    p.rotate(-35);
    QPainterPath shine = ellipse(QPointF(0, 0), 8.5, 4.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 140));
    p.drawPath(shine);
    p.restore();
    // stem
    QPainterPath stem;
    stem.moveTo(30.5, 15.0);
    stem.cubicTo(30.5, 11.0, 31.0, 8.0, 32.5, 5.5);
    stem.lineTo(35.0, 6.5);
    stem.cubicTo(33.8, 9.0, 33.5, 12.0, 33.5, 15.0);
    stem.closeSubpath();
    fillShape(p, stem, QColor(0x7A5227u), QColor(0x4E3316u), lw);
    // leaf
    QPainterPath leaf;
    leaf.moveTo(33.5, 10.0);
    leaf.cubicTo(38.0, 1.0, 50.0, -0.5, 59.0, 4.0);
    leaf.cubicTo(53.5, 13.5, 42.0, 16.5, 33.5, 10.0);
    leaf.closeSubpath();
    QLinearGradient lg(QPointF(36, 2), QPointF(50, 14));
    lg.setColorAt(0, QColor(0x7CCB4Eu));
    lg.setColorAt(1, QColor(0x2E8A3Au));
    fillShape(p, leaf, lg, QColor(0x23662Bu), lw);
    if (scale >= 0.4) {
        p.setPen(QPen(QColor(0xC9EFA6u), lw * 0.9, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath vein;
        vein.moveTo(35.5, 9.5);
        vein.quadTo(46.0, 6.0, 56.0, 4.5);
        p.drawPath(vein);
    }
}

// The ledger in a 48-unit square.
void drawLedger(QPainter &p, qreal scale)
{
    const qreal lw = std::max<qreal>(1.0, std::round(scale)) / scale;
    const bool detail = scale * 48 >= 24;
    // pages
    QPainterPath pages = roundedRect(QRectF(10.5, 7.5, 32.0, 37.0), 2.5);
    fillShape(p, pages, vertical(pages.boundingRect(), QColor(0xFFFBEFu), QColor(0xEADFC2u)), QColor(0x9C8D68u), lw);
    if (detail) {
        for (int i = 0; i < 3; ++i) {
            const qreal y = 42.0 - i * 1.6;
            strokeLine(p, QPointF(13.0, y), QPointF(40.5, y), QColor(0xCDBF98u), lw * 0.7);
            const qreal x = 40.5 - i * 1.6;
            strokeLine(p, QPointF(x, 10.0), QPointF(x, 41.0), QColor(0xCDBF98u), lw * 0.7);
        }
    }
    // cover
    const QRectF cover(5.5, 3.5, 33.0, 37.5);
    QPainterPath coverPath = roundedRect(cover, 2.5);
    QLinearGradient cg(cover.topLeft(), cover.bottomRight());
    cg.setColorAt(0, QColor(0xD65A45u));
    cg.setColorAt(1, QColor(0x95291Fu));
    fillShape(p, coverPath, cg, QColor(0x6A1A13u), lw);
    // spine
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(cover, QColor(0x9E2E22u), QColor(0x73201Au)));
    p.drawRect(QRectF(6.0, 4.0, 7.0, 36.5));
    const QColor gold(0xE8C25Au);
    p.setBrush(gold);
    p.drawRect(QRectF(6.0, 9.0, 7.0, 2.2));
    p.drawRect(QRectF(6.0, 33.0, 7.0, 2.2));
    strokeLine(p, QPointF(13.0, 4.0), QPointF(13.0, 40.5), QColor(0x5E160Fu), lw);
    // gold corners
    QPainterPath corners;
    corners.moveTo(31.0, 3.5);
    corners.lineTo(36.0, 3.5);
    corners.quadTo(38.5, 3.5, 38.5, 6.0);
    corners.lineTo(38.5, 11.0);
    corners.closeSubpath();
    corners.moveTo(31.0, 41.0);
    corners.lineTo(36.0, 41.0);
    corners.quadTo(38.5, 41.0, 38.5, 38.5);
    corners.lineTo(38.5, 33.5);
    corners.closeSubpath();
    fillShape(p, corners, vertical(cover, QColor(0xF6DE8Cu), QColor(0xC9992Fu)), QColor(0x8A6414u), lw);
    // label with the character 账
    const QRectF label(17.0, 11.0, 17.0, 16.5);
    fillShape(p, roundedRect(label, 1.5), vertical(label, QColor(0xFFFBEAu), QColor(0xF3E6BFu)), QColor(0xA7822Eu), lw);
    if (detail) {
        p.setPen(QColor(0x8E2A1Fu));
        p.setFont(pictureFont(13, true, true));
        p.drawText(label.adjusted(0, -0.5, 0, 0), Qt::AlignCenter, u"账"_s);
        strokeLine(p, QPointF(19.0, 31.5), QPointF(32.0, 31.5), QColor(0xE7B3A9u), lw);
        strokeLine(p, QPointF(19.0, 34.5), QPointF(28.0, 34.5), QColor(0xE7B3A9u), lw);
    } else {
        strokeLine(p, QPointF(20.5, 17.0), QPointF(30.5, 17.0), QColor(0x8E2A1Fu), 3.0);
        strokeLine(p, QPointF(20.5, 22.0), QPointF(27.5, 22.0), QColor(0x8E2A1Fu), 3.0);
    }
}

QPixmap renderSquare(int size, qreal units, void (*draw)(QPainter &, qreal))
{
    QPixmap pm(std::max(1, size), std::max(1, size));
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal scale = pm.width() / units;
    p.scale(scale, scale);
    draw(p, scale);
    p.end();
    return pm;
}

// --- banners --------------------------------------------------------------------------------

struct TitleStyle
{
    QColor main; // strong colour of the kind
    QColor tint; // light background tint
    QColor text;
    int image;
    QString subtitle;
};

TitleStyle titleStyle(const QString &kind)
{
    if (kind == u"财务收入"_s)
        return { QColor(0x2A78D0u), QColor(0xDCEBFBu), QColor(0x17508Fu), ImgMoneyIn,
            u"登记一笔收入，金额计入所选账簿的余额"_s };
    if (kind == u"财务支出"_s)
        return { QColor(0xD9402Eu), QColor(0xFBE3DEu), QColor(0x992414u), ImgMoneyOut,
            u"登记一笔支出，金额从所选账簿的余额中扣除"_s };
    if (kind == u"待收记账"_s)
        return { QColor(0x2A78D0u), QColor(0xDCEBFBu), QColor(0x17508Fu), ImgGet,
            u"记下客户尚欠的款项，收到钱时再逐笔入账"_s };
    if (kind == u"待付记账"_s)
        return { QColor(0xD9402Eu), QColor(0xFBE3DEu), QColor(0x992414u), ImgPay,
            u"记下尚未付出的款项，付款时再逐笔出账"_s };
    return { QColor(0x3C8D5Eu), QColor(0xE1F2E6u), QColor(0x1F5C3Bu), -1, QString() };
}

// Soft discs on the right of a banner, and the banner's picture as a faint watermark.
void decorate(QPainter &p, const QSizeF &size, const QColor &colour, int alpha, const QPixmap &watermark)
{
    const qreal h = size.height();
    const qreal w = size.width();
    QColor c = colour;
    p.setPen(Qt::NoPen);
    c.setAlpha(alpha);
    p.setBrush(c);
    p.drawEllipse(QPointF(w - h * 0.55, h * 0.1), h * 0.95, h * 0.95);
    c.setAlpha(alpha * 2 / 3);
    p.setBrush(c);
    p.drawEllipse(QPointF(w - h * 1.8, h * 1.1), h * 0.8, h * 0.8);
    if (!watermark.isNull()) {
        p.save();
        p.setOpacity(0.13);
        const qreal side = h * 1.25;
        p.translate(w - h * 1.05, h * 0.55);
        p.rotate(-12);
        p.drawPixmap(QRectF(-side / 2, -side / 2, side, side), watermark, QRectF(watermark.rect()));
        p.restore();
    }
}

QString elided(const QFont &font, const QString &text, qreal width)
{
    return QFontMetricsF(font).elidedText(text, Qt::ElideRight, width);
}

} // namespace

int ImageCount()
{
    return kImageCount;
}

QPixmap Image32(int index, qreal devicePixelRatio)
{
    if (index < 0 || index >= kImageCount)
        return {};
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    return renderImage(index, 32, dpr);
}

QIcon Icon32(int index)
{
    if (index < 0 || index >= kImageCount)
        return {};
    QIcon icon;
    const int sizes[] = { 16, 24, 32 };
    const qreal ratios[] = { 1.0, 2.0 };
    for (const int size : sizes) {
        for (const qreal dpr : ratios) {
            const QPixmap pm = renderImage(index, size, dpr);
            icon.addPixmap(pm, QIcon::Normal);
            icon.addPixmap(disabledLook(pm), QIcon::Disabled);
        }
    }
    return icon;
}

QPixmap TitlePicture(const QString &kind, QSize size)
{
    if (size.isEmpty())
        return {};
    const TitleStyle style = titleStyle(kind);
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal w = size.width();
    const qreal h = size.height();

    QLinearGradient bg(0, 0, w, 0);
    bg.setColorAt(0, style.tint);
    bg.setColorAt(0.55, QColor(0xFFFFFFu));
    bg.setColorAt(1, style.tint.lighter(104));
    p.fillRect(img.rect(), bg);
    QLinearGradient sheen(0, 0, 0, h);
    sheen.setColorAt(0, QColor(255, 255, 255, 150));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), sheen);
    decorate(p, QSizeF(w, h), style.main, 26,
        style.image >= 0 ? renderImage(style.image, qRound(h * 1.25), 1.0) : QPixmap());

    // the kind's image on a white tile
    const qreal tile = h * 0.78;
    const QRectF tileRect(h * 0.16, (h - tile) / 2 - h * 0.02, tile, tile);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawRoundedRect(tileRect.translated(0, h * 0.03), tile * 0.2, tile * 0.2);
    QColor border = style.main;
    border.setAlpha(110);
    p.setPen(QPen(border, 1.0));
    p.setBrush(vertical(tileRect, QColor(0xFFFFFFu), style.tint.lighter(103)));
    p.drawRoundedRect(tileRect, tile * 0.2, tile * 0.2);
    qreal textLeft = tileRect.right() + h * 0.22;
    if (style.image >= 0) {
        const qreal icon = tile * 0.8;
        paintImage(p, style.image,
            QRectF(tileRect.center().x() - icon / 2, tileRect.center().y() - icon / 2, icon, icon), 1.0);
    } else {
        textLeft = h * 0.3;
        p.setBrush(Qt::NoBrush);
        p.setPen(Qt::NoPen);
    }

    const qreal textWidth = w - textLeft - h * 0.3;
    const QFont title = pictureFont(qRound(h * 0.37), true);
    p.setFont(title);
    p.setPen(style.text);
    const qreal titleBase = style.subtitle.isEmpty() ? h * 0.64 : h * 0.50;
    p.drawText(QPointF(textLeft, titleBase), elided(title, kind, textWidth));
    if (!style.subtitle.isEmpty()) {
        const QFont sub = pictureFont(std::max(9, qRound(h * 0.175)), false);
        p.setFont(sub);
        QColor subColour = style.text;
        subColour.setAlpha(185);
        p.setPen(subColour);
        p.drawText(QPointF(textLeft + 1, h * 0.79), elided(sub, style.subtitle, textWidth));
    }

    // a strong rule along the bottom, fading to the right
    QLinearGradient rule(0, 0, w, 0);
    rule.setColorAt(0, style.main);
    rule.setColorAt(0.7, style.main.lighter(150));
    QColor fade = style.main;
    fade.setAlpha(40);
    rule.setColorAt(1, fade);
    p.fillRect(QRectF(0, h - std::max(2.0, h / 24.0), w, std::max(2.0, h / 24.0)), rule);
    p.end();
    return QPixmap::fromImage(img);
}

QPixmap Banner(const QString &caption, QSize size)
{
    if (size.isEmpty())
        return {};
    const QStringList lines = caption.split(u'\n');
    const QString title = lines.value(0);
    const QString subtitle = lines.size() > 1 ? lines.mid(1).join(u' ') : QString();
    const bool book = title.contains(u"账簿"_s) || title.contains(u"账本"_s);

    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal w = size.width();
    const qreal h = size.height();

    QLinearGradient bg(0, 0, w, h);
    bg.setColorAt(0, QColor(0x1F7A4Du));
    bg.setColorAt(0.6, QColor(0x3E9E4Fu));
    bg.setColorAt(1, QColor(0x8CC63Fu));
    p.fillRect(img.rect(), bg);
    QLinearGradient sheen(0, 0, 0, h);
    sheen.setColorAt(0, QColor(255, 255, 255, 60));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 8));
    sheen.setColorAt(1, QColor(0, 0, 0, 25));
    p.fillRect(img.rect(), sheen);
    const qreal emblem = std::min(h * 0.8, w * 0.3);
    const QPixmap pic = book ? BookIcon(qRound(emblem)) : AppIconPixmap(qRound(emblem));
    decorate(
        p, QSizeF(w, h), QColor(0xF4F7B0u), 36, book ? BookIcon(qRound(h * 1.25)) : AppIconPixmap(qRound(h * 1.25)));

    // emblem
    const QRectF emblemRect(h * 0.18, (h - emblem) / 2, emblem, emblem);
    p.drawPixmap(emblemRect.topLeft(), pic);

    const qreal textLeft = emblemRect.right() + h * 0.2;
    const qreal textWidth = w - textLeft - h * 0.2;
    const QFont titleFont = pictureFont(qRound(subtitle.isEmpty() ? h * 0.42 : h * 0.36), true);
    const qreal titleBase
        = subtitle.isEmpty() ? h * 0.5 + QFontMetricsF(titleFont).capHeight() / 2 + h * 0.06 : h * 0.52;
    const QString titleText = elided(titleFont, title, textWidth);
    p.setFont(titleFont);
    p.setPen(QColor(0, 0, 0, 70));
    p.drawText(QPointF(textLeft + 1, titleBase + 1), titleText);
    p.setPen(Qt::white);
    p.drawText(QPointF(textLeft, titleBase), titleText);
    if (!subtitle.isEmpty()) {
        const QFont sub = pictureFont(std::max(9, qRound(h * 0.2)), false);
        p.setFont(sub);
        p.setPen(QColor(0xF2F8E4u));
        p.drawText(QPointF(textLeft + 1, h * 0.82), elided(sub, subtitle, textWidth));
    }
    p.fillRect(QRectF(0, h - 1, w, 1), QColor(0x176040u));
    p.end();
    return QPixmap::fromImage(img);
}

QPixmap BookIcon(int size)
{
    if (size <= 0)
        return {};
    return renderSquare(size, 48.0, &drawLedger);
}

QPixmap AppIconPixmap(int size)
{
    if (size <= 0)
        return {};
    return renderSquare(size, 64.0, &drawPomelo);
}

QIcon AppIcon()
{
    QIcon icon;
    const int sizes[] = { 16, 24, 32, 48, 64, 128, 256 };
    for (const int size : sizes)
        icon.addPixmap(AppIconPixmap(size));
    return icon;
}

QByteArray IcoFileData(const QList<QImage> &images)
{
    if (images.isEmpty() || images.size() > 0xFFFF)
        return {};
    const auto put16 = [](QByteArray &out, quint16 v) {
        const quint16 le = qToLittleEndian(v);
        out.append(reinterpret_cast<const char *>(&le), sizeof le);
    };
    const auto put32 = [](QByteArray &out, quint32 v) {
        const quint32 le = qToLittleEndian(v);
        out.append(reinterpret_cast<const char *>(&le), sizeof le);
    };

    QList<QByteArray> payloads;
    for (const QImage &source : images) {
        if (source.isNull() || source.width() > 256 || source.height() > 256)
            return {};
        const QImage img = source.convertToFormat(QImage::Format_ARGB32);
        const int w = img.width();
        const int h = img.height();
        const int maskStride = ((w + 31) / 32) * 4;
        QByteArray data;
        // BITMAPINFOHEADER; the height counts the colour rows and the mask rows.
        put32(data, 40);
        put32(data, quint32(w));
        put32(data, quint32(h * 2));
        put16(data, 1);
        put16(data, 32);
        put32(data, 0);
        put32(data, quint32(w * h * 4 + maskStride * h));
        put32(data, 0);
        put32(data, 0);
        put32(data, 0);
        put32(data, 0);
        for (int y = h - 1; y >= 0; --y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                data.append(char(qBlue(line[x])));
                data.append(char(qGreen(line[x])));
                data.append(char(qRed(line[x])));
                data.append(char(qAlpha(line[x])));
            }
        }
        for (int y = h - 1; y >= 0; --y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < w; ++x) {
                if (qAlpha(line[x]) == 0)
                    row[x / 8] = char(uchar(row.at(x / 8)) | (0x80 >> (x % 8)));
            }
            data.append(row);
        }
        payloads.append(data);
    }

    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage &img = images.at(i);
        out.append(char(img.width() == 256 ? 0 : img.width()));
        out.append(char(img.height() == 256 ? 0 : img.height()));
        out.append(char(0)); // no palette
        out.append(char(0));
        put16(out, 1);
        put16(out, 32);
        put32(out, quint32(payloads.at(i).size()));
        put32(out, offset);
        offset += quint32(payloads.at(i).size());
    }
    for (const QByteArray &payload : payloads)
        out.append(payload);
    return out;
}

} // namespace AppImages
