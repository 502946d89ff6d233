// Drawing vocabulary shared by every generated picture: palette, fonts, panels, legends.
#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>

class PanelPainter {
public:
    enum class Weight { Light, Regular, Bold };

    // Palette of the anodised front panels.
    static QColor chassis() { return QColor(0x17, 0x19, 0x1d); }
    static QColor panelTop() { return QColor(0x35, 0x39, 0x42); }
    static QColor panelBottom() { return QColor(0x29, 0x2c, 0x33); }
    static QColor band() { return QColor(0x68, 0x6b, 0x75); }
    static QColor legend() { return QColor(0xe6, 0xe8, 0xec); }
    static QColor legendDim() { return QColor(0xa2, 0xa7, 0xb1); }
    static QColor greyed() { return QColor(0x5d, 0x62, 0x6b); }
    static QColor accent() { return QColor(0xff, 0xb2, 0x3e); }
    static QColor signalGreen() { return QColor(0x5f, 0xe3, 0x80); }
    static QColor strip() { return QColor(0xd6, 0xd9, 0xde); }
    static QColor windowBlack() { return QColor(0x0c, 0x0d, 0x10); }

    // The embedded family at a pixel size; spacing is extra letter spacing in pixels.
    static QFont font(Weight weight, qreal pixelSize, qreal spacing = 0.0);

    // Dark chassis metal with a fine horizontal brush; seed keeps every run identical.
    static void fillChassis(QPainter &p, const QRectF &r, quint32 seed);
    // One anodised panel: body gradient, brush, one-pixel bevel.
    static void fillPanel(QPainter &p, const QRectF &r, quint32 seed);
    // The 21 pixel title band across the top of a panel, with its legend centred in white.
    static void titleBand(QPainter &p, const QRectF &panel, const QString &title);
    // A legend printed on the panel (with a faint shadow so it looks screen-printed). A legend wider
    // than its box would be cut off; it is noted in overflows() instead of passing unnoticed.
    static void legendText(QPainter &p, const QRectF &r, int flags, const QString &text, const QFont &f,
                           const QColor &c);
    // The same, turned a quarter left so it reads upwards; anchor is the bottom centre of the text.
    static void upwardText(QPainter &p, const QPointF &bottomCentre, const QString &text, const QFont &f,
                           const QColor &c);
    // A one-pixel line drawn without antialiasing (rules, dividers).
    static void hairline(QPainter &p, const QLineF &line, const QColor &c);
    // A window sunk into the panel (display cells, value strips).
    static void recess(QPainter &p, const QRectF &r, const QColor &fill, qreal radius = 2.0);
    // Frame around a panel that sits inside the chassis.
    static void bezel(QPainter &p, const QRectF &inner);
    // A small recessed screw head.
    static void screw(QPainter &p, const QPointF &centre, qreal radius);
    // Legends that did not fit their boxes so far.
    static const QStringList &overflows();
    // Fine horizontal brush lines over r.
    static void brush(QPainter &p, const QRectF &r, quint32 seed, int strength);
};
