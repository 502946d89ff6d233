#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

// A program icon as a list of filled shapes on a 256 x 256 canvas, drawn as PNG or written as SVG.
class IconDrawing {
public:
    // Fills a rounded rectangle; a second colour makes the fill a top-to-bottom gradient.
    void addRoundedRect(const QRectF &rect, qreal radius, const QColor &top, const QColor &bottom = QColor());
    // Outlines a rounded rectangle with a line of the given width, centred on the edge.
    void addRoundedOutline(const QRectF &rect, qreal radius, const QColor &colour, qreal width);
    void addEllipse(const QRectF &rect, const QColor &colour);
    void addPolygon(const QList<QPointF> &points, const QColor &colour);

    // Draws the icon scaled to size x size pixels onto a painter already set up for it.
    void paint(QPainter &painter, int size) const;
    // The same shapes as a self-contained SVG document.
    QString toSvg() const;

    static constexpr qreal Canvas = 256;

private:
    enum class Kind { RoundedRect, RoundedOutline, Ellipse, Polygon };
    struct Shape {
        Kind kind;
        QRectF rect;
        qreal radius = 0;
        QColor top;
        QColor bottom;
        qreal width = 0;
        QList<QPointF> points;
    };
    QList<Shape> shapes;
};
