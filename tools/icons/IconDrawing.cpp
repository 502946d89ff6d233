#include "IconDrawing.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>

namespace {
QString svgColour(const QColor &colour) {
    return colour.name(QColor::HexRgb);
}

QString number(qreal value) {
    return QString::number(value, 'g', 6);
}

// fill-opacity only when the colour is not opaque, so most shapes stay one short line.
QString opacity(const QColor &colour, const char *attribute) {
    if (colour.alpha() == 255)
        return QString();
    return QStringLiteral(" %1=\"%2\"").arg(attribute, number(colour.alphaF()));
}
} // namespace

void IconDrawing::addRoundedRect(const QRectF &rect, qreal radius, const QColor &top, const QColor &bottom) {
    shapes.append({Kind::RoundedRect, rect, radius, top, bottom.isValid() ? bottom : top, 0, {}});
}

void IconDrawing::addRoundedOutline(const QRectF &rect, qreal radius, const QColor &colour, qreal width) {
    shapes.append({Kind::RoundedOutline, rect, radius, colour, colour, width, {}});
}

void IconDrawing::addEllipse(const QRectF &rect, const QColor &colour) {
    shapes.append({Kind::Ellipse, rect, 0, colour, colour, 0, {}});
}

void IconDrawing::addPolygon(const QList<QPointF> &points, const QColor &colour) {
    shapes.append({Kind::Polygon, QRectF(), 0, colour, colour, 0, points});
}

void IconDrawing::paint(QPainter &painter, int size) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / Canvas, size / Canvas);
    for (const Shape &shape : shapes) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::NoBrush);
        if (shape.kind == Kind::RoundedOutline) {
            painter.setPen(QPen(shape.top, shape.width));
        } else if (shape.top != shape.bottom) {
            QLinearGradient gradient(shape.rect.topLeft(), shape.rect.bottomLeft());
            gradient.setColorAt(0, shape.top);
            gradient.setColorAt(1, shape.bottom);
            painter.setBrush(gradient);
        } else {
            painter.setBrush(shape.top);
        }
        switch (shape.kind) {
        case Kind::RoundedRect:
        case Kind::RoundedOutline:
            painter.drawRoundedRect(shape.rect, shape.radius, shape.radius);
            break;
        case Kind::Ellipse:
            painter.drawEllipse(shape.rect);
            break;
        case Kind::Polygon:
            painter.drawPolygon(QPolygonF(shape.points));
            break;
        }
    }
    painter.restore();
}

QString IconDrawing::toSvg() const {
    QString text;
    QTextStream svg(&text);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Canvas << "\" height=\"" << Canvas
        << "\" viewBox=\"0 0 " << Canvas << ' ' << Canvas << "\">\n";
    // Gradients first, in a defs block, so every renderer knows them before they are used.
    QString body;
    QTextStream shapesOut(&body);
    int gradients = 0;
    svg << "  <defs>\n";
    for (const Shape &shape : shapes) {
        QString fill =
            QStringLiteral(" fill=\"%1\"%2").arg(svgColour(shape.top), opacity(shape.top, "fill-opacity"));
        if (shape.kind == Kind::RoundedOutline) {
            fill = QStringLiteral(" fill=\"none\" stroke=\"%1\" stroke-width=\"%2\"%3")
                       .arg(svgColour(shape.top), number(shape.width), opacity(shape.top, "stroke-opacity"));
        } else if (shape.top != shape.bottom) {
            // Gradient in user space, top to bottom of the shape, as QLinearGradient draws it.
            const QString id = QStringLiteral("g%1").arg(++gradients);
            svg << "    <linearGradient id=\"" << id << "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\""
                << number(shape.rect.top()) << "\" x2=\"0\" y2=\"" << number(shape.rect.bottom()) << "\">"
                << "<stop offset=\"0\" stop-color=\"" << svgColour(shape.top) << "\""
                << opacity(shape.top, "stop-opacity") << "/>"
                << "<stop offset=\"1\" stop-color=\"" << svgColour(shape.bottom) << "\""
                << opacity(shape.bottom, "stop-opacity") << "/></linearGradient>\n";
            fill = QStringLiteral(" fill=\"url(#%1)\"").arg(id);
        }
        switch (shape.kind) {
        case Kind::RoundedRect:
        case Kind::RoundedOutline:
            shapesOut << "  <rect x=\"" << number(shape.rect.x()) << "\" y=\"" << number(shape.rect.y())
                      << "\" width=\"" << number(shape.rect.width()) << "\" height=\""
                      << number(shape.rect.height()) << "\" rx=\"" << number(shape.radius) << "\"" << fill
                      << "/>\n";
            break;
        case Kind::Ellipse:
            shapesOut << "  <ellipse cx=\"" << number(shape.rect.center().x()) << "\" cy=\""
                      << number(shape.rect.center().y()) << "\" rx=\"" << number(shape.rect.width() / 2)
                      << "\" ry=\"" << number(shape.rect.height() / 2) << "\"" << fill << "/>\n";
            break;
        case Kind::Polygon: {
            QStringList points;
            for (const QPointF &point : shape.points)
                points << number(point.x()) + ',' + number(point.y());
            shapesOut << "  <polygon points=\"" << points.join(' ') << "\"" << fill << "/>\n";
            break;
        }
        }
    }
    shapesOut.flush();
    svg << "  </defs>\n" << body << "</svg>\n";
    return text;
}
