// Pictures of the main window: chassis background, captions, MIDI panel, logo, about picture, device icons.
#pragma once

#include "ImageSet.h"

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

class WindowImages {
public:
    // Front of a one-unit Tavik device; kind 1 Neo, 5 Lux, anything else an unidentified unit.
    static void drawDevice(QPainter &p, const QRectF &r, int kind);
    // The maker's mark and name, drawn into a 129 x 32 box at origin, scaled by factor.
    static void drawLogo(QPainter &p, const QPointF &origin, qreal factor);

    static QImage mainBackground();
    static QImage deviceListCaption();
    static QImage midiPanel();
    static QImage logo();
    static QImage splash(const QString &version);
    static QImage deviceIcon(int kind);

    static void writeAll(ImageSet &set, const QString &version);
};
