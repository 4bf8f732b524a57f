#include "panel/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

void Triangle(QPainter& p, qreal left, qreal right)
{
    // Points at `right`: a right-pointing triangle when right > left.
    QPolygonF t;
    t << QPointF(left, 3) << QPointF(right, 8) << QPointF(left, 13);
    p.drawPolygon(t);
}

void Bar(QPainter& p, qreal left, qreal width = 2)
{
    p.drawRect(QRectF(left, 3, width, 10));
}

void Loop(QPainter& p, bool on)
{
    p.setBrush(Qt::NoBrush);
    QPen pen(on ? QColor(0, 110, 0) : Qt::black, 1.6);
    p.setPen(pen);
    p.drawArc(QRectF(2.5, 3.5, 11, 9), 30 * 16, 300 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(0, 110, 0) : Qt::black);
    QPolygonF head;
    head << QPointF(11, 1.5) << QPointF(15, 5) << QPointF(10.5, 6.5);
    p.drawPolygon(head);
    if (!on) {
        // Loop off: the loop struck through.
        p.setPen(QPen(QColor(170, 0, 0), 1.6));
        p.drawLine(QPointF(2, 14), QPointF(14, 2));
    }
}

void Draw(QPainter& p, TGlyph glyph)
{
    switch (glyph) {
    case TGlyph::ToStart: Bar(p, 3); Triangle(p, 13, 5); break;
    case TGlyph::StepReverse: Triangle(p, 10, 4); Bar(p, 11); break;
    case TGlyph::PlayReverse: Triangle(p, 12, 4); break;
    case TGlyph::ReversePause: Bar(p, 3); Bar(p, 7); Triangle(p, 14, 10); break;
    case TGlyph::Stop: p.drawRect(QRectF(4, 4, 8, 8)); break;
    case TGlyph::Play: Triangle(p, 4, 12); break;
    case TGlyph::PlayPause: Bar(p, 4, 3); Bar(p, 9, 3); break;
    case TGlyph::Step: Bar(p, 3); Triangle(p, 6, 12); break;
    case TGlyph::ToEnd: Triangle(p, 3, 11); Bar(p, 11); break;
    case TGlyph::LoopOn: Loop(p, true); break;
    case TGlyph::LoopOff: Loop(p, false); break;
    }
}

} // namespace

QIcon GlyphIcon(TGlyph glyph)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    Draw(p, glyph);
    p.end();
    return QIcon(pm);
}
