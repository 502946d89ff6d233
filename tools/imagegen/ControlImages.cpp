#include "ControlImages.h"

#include "FaderScale.h"
#include "PanelPainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

using W = PanelPainter::Weight;

void cellFrame(QPainter &p, const QColor &top, const QColor &bottom) {
    const QRectF r(0, 0, ControlImages::cellWidth, ControlImages::cellHeight);
    p.fillRect(r, QColor(0x08, 0x09, 0x0b));
    QLinearGradient g(0, 1, 0, r.height() - 1);
    g.setColorAt(0.0, top);
    g.setColorAt(1.0, bottom);
    p.fillRect(r.adjusted(1, 1, -1, -1), g);
    // Lower and right lip catch the light, as on a window pressed into the panel.
    p.setPen(QColor(0x4c, 0x51, 0x5a));
    p.drawLine(QPointF(1, r.height() - 0.5), QPointF(r.width() - 0.5, r.height() - 0.5));
    p.drawLine(QPointF(r.width() - 0.5, 1), QPointF(r.width() - 0.5, r.height() - 0.5));
    QLinearGradient sh(0, 1, 0, 5);
    sh.setColorAt(0.0, QColor(0, 0, 0, 120));
    sh.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(r.adjusted(1, 1, -1, -1), sh);
}

void glowText(QPainter &p, const QRectF &r, const QString &text, const QFont &f, const QColor &c) {
    p.setFont(f);
    QColor halo = c;
    halo.setAlpha(38);
    p.setPen(halo);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx != 0 || dy != 0)
                p.drawText(r.translated(dx, dy), Qt::AlignCenter, text);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, text);
}

} // namespace

QImage ControlImages::cell(const QString &text, const QColor &colour) {
    return ImageSet::drawn(QSize(cellWidth, cellHeight), ImageSet::Antialiased, [&](QPainter &p) {
        if (text.isEmpty()) {
            cellFrame(p, QColor(0x25, 0x28, 0x2e), QColor(0x1d, 0x20, 0x25));
            return;
        }
        QColor top = colour.darker(900);
        QColor bottom = colour.darker(1200);
        cellFrame(p, top, bottom);
        // A soft bloom behind the lit legend.
        QRadialGradient bloom(QPointF(cellWidth / 2.0, cellHeight / 2.0), 22);
        QColor b = colour;
        b.setAlpha(40);
        bloom.setColorAt(0.0, b);
        bloom.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.fillRect(QRectF(1, 1, cellWidth - 2, cellHeight - 2), bloom);
        glowText(p, QRectF(0, 0, cellWidth, cellHeight - 1), text, PanelPainter::font(W::Bold, 12), colour);
    });
}

QImage ControlImages::unusedCell() {
    return ImageSet::drawn(QSize(cellWidth, cellHeight), ImageSet::Aliased, [](QPainter &p) {
        const QRectF r(0, 0, cellWidth, cellHeight);
        p.fillRect(r, QColor(0x3a, 0x3d, 0x44));
        p.fillRect(r.adjusted(1, 1, -1, -1), QColor(0x4b, 0x4f, 0x57));
        p.setPen(QColor(0x5d, 0x61, 0x6a));
        p.drawLine(QPointF(1, 1.5), QPointF(cellWidth - 1, 1.5));
    });
}

QImage ControlImages::dimCell() {
    return ImageSet::drawn(QSize(cellWidth, cellHeight), ImageSet::Aliased, [](QPainter &p) {
        cellFrame(p, QColor(0x22, 0x25, 0x2a), QColor(0x20, 0x22, 0x27));
        p.fillRect(QRectF(0, 0, cellWidth, cellHeight), QColor(0x2c, 0x2f, 0x35, 110));
    });
}

QImage ControlImages::indicator(Box kind) {
    // The box's border and the top and bottom of its face for each kind, in the order of Box.
    struct Face {
        QColor border, top, bottom;
    };
    const QColor accent = PanelPainter::accent();
    const Face plain{QColor(0xb4, 0xb9, 0xc2), QColor(0x14, 0x16, 0x19), QColor(0x2b, 0x2f, 0x36)};
    const Face grey{QColor(0x5a, 0x5e, 0x66), QColor(0x2a, 0x2d, 0x33), QColor(0x30, 0x33, 0x39)};
    const Face faces[] = {
        plain,
        plain,
        grey,
        grey,
        {QColor(0x7c, 0x81, 0x8b), QColor(0xf6, 0xf7, 0xf9), QColor(0xcc, 0xd0, 0xd6)},
        {accent.darker(170), accent.lighter(115), accent.darker(115)},
        {QColor(0x3e, 0x41, 0x48), QColor(0x66, 0x6a, 0x73), QColor(0x55, 0x59, 0x61)},
    };
    static_assert(sizeof faces / sizeof faces[0] == int(Box::RoutingGrey) + 1, "a face for every kind");
    const Face &face = faces[int(kind)];
    return ImageSet::drawn(QSize(12, 13), ImageSet::Antialiased, [&](QPainter &p) {
        QLinearGradient g(0, 0, 0, 13);
        g.setColorAt(0.0, face.top);
        g.setColorAt(1.0, face.bottom);
        p.setPen(QPen(face.border, 1.0));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(0.5, 0.5, 11, 12), 1.8, 1.8);

        if (kind == Box::Checked || kind == Box::CheckedGrey) {
            QPainterPath tick;
            tick.moveTo(2.8, 6.6);
            tick.lineTo(5.0, 9.0);
            tick.lineTo(9.4, 3.6);
            const QColor c = kind == Box::Checked ? accent : QColor(0x74, 0x79, 0x82);
            if (kind == Box::Checked) {
                QColor halo = c;
                halo.setAlpha(70);
                p.strokePath(tick, QPen(halo, 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            }
            p.strokePath(tick, QPen(c, 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        }
        if (kind == Box::RoutingCross) {
            const QPen pen(QColor(0x1a, 0x1c, 0x20), 1.8, Qt::SolidLine, Qt::RoundCap);
            p.setPen(pen);
            p.drawLine(QPointF(3.3, 3.8), QPointF(8.7, 9.2));
            p.drawLine(QPointF(8.7, 3.8), QPointF(3.3, 9.2));
        }
    });
}

QImage ControlImages::grooveImage() {
    return ImageSet::drawn(QSize(23, FaderScale::sliderHeight), ImageSet::Aliased, [](QPainter &p) {
        // Scale ticks every 1 dB, longer every 2 dB, on both sides of the slot.
        for (int step = 0; step <= FaderScale::steps; step += 2) {
            const int y = FaderScale::centreRow(step);
            const bool major = step % 4 == 0;
            p.setPen(major ? QColor(0xc8, 0xcc, 0xd3, 230) : QColor(0x9a, 0x9f, 0xa8, 170));
            const int len = major ? 5 : 3;
            p.drawLine(7 - len, y, 6, y);
            p.drawLine(15, y, 14 + len, y);
        }
        // The slot the knob runs in, from its highest to its lowest centre line.
        const int top = FaderScale::centreRow(FaderScale::steps) - 6;
        const int bottom = FaderScale::centreRow(0) + 6;
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath slot;
        slot.addRoundedRect(QRectF(8, top, 6, bottom - top), 2.5, 2.5);
        p.fillPath(slot, QColor(0x3c, 0x40, 0x48));
        QPainterPath inner;
        inner.addRoundedRect(QRectF(9, top + 1, 4, bottom - top - 2), 2, 2);
        p.fillPath(inner, QColor(0x03, 0x03, 0x04));
    });
}

QImage ControlImages::knobImage() {
    return ImageSet::drawn(QSize(20, FaderScale::knobHeight), ImageSet::Antialiased, [](QPainter &p) {
        const QRectF body(0.5, 0.5, 19, 38);
        // Drop shadow is part of the cap's lower edge; the body is a machined cap with a dished grip.
        QLinearGradient g(0, 0, 0, 39);
        g.setColorAt(0.00, QColor(0x7a, 0x7f, 0x89));
        g.setColorAt(0.10, QColor(0x4a, 0x4e, 0x57));
        g.setColorAt(0.48, QColor(0x24, 0x27, 0x2c));
        g.setColorAt(0.52, QColor(0x24, 0x27, 0x2c));
        g.setColorAt(0.90, QColor(0x3c, 0x40, 0x48));
        g.setColorAt(1.00, QColor(0x14, 0x15, 0x18));
        p.setPen(QPen(QColor(0x08, 0x09, 0x0b), 1.0));
        p.setBrush(g);
        p.drawRoundedRect(body, 3, 3);
        QLinearGradient side(0, 0, 20, 0);
        side.setColorAt(0.0, QColor(255, 255, 255, 40));
        side.setColorAt(0.25, QColor(255, 255, 255, 0));
        side.setColorAt(0.75, QColor(0, 0, 0, 0));
        side.setColorAt(1.0, QColor(0, 0, 0, 70));
        p.setPen(Qt::NoPen);
        p.setBrush(side);
        p.drawRoundedRect(body.adjusted(1, 1, -1, -1), 2.5, 2.5);

        p.setRenderHint(QPainter::Antialiasing, false);
        for (int y : {5, 8, 11, 14, 24, 27, 30, 33}) {
            p.setPen(QColor(0, 0, 0, 150));
            p.drawLine(3, y, 16, y);
            p.setPen(QColor(255, 255, 255, 45));
            p.drawLine(3, y + 1, 16, y + 1);
        }
        // Centre line: the point the scale is read at.
        p.setPen(QColor(0, 0, 0, 170));
        p.drawLine(1, 18, 18, 18);
        p.drawLine(1, 20, 18, 20);
        p.setPen(QColor(0xf6, 0xf7, 0xf9));
        p.drawLine(1, 19, 18, 19);
    });
}

void ControlImages::writeAll(ImageSet &set) {
    const QSize cellSize(cellWidth, cellHeight);
    const QColor amber = PanelPainter::accent();
    set.save("in_ko.png", cell(QString(), amber), cellSize);
    set.save("in_ok.png", cell("ok", PanelPainter::signalGreen()), cellSize);
    const struct {
        const char *file;
        const char *rate;
    } rates[] = {{"in_32.png", "32k"},    {"in_441.png", "44.1k"}, {"in_48.png", "48k"},
                 {"in_882.png", "88.2k"}, {"in_96.png", "96k"},    {"in_192.png", "192k"}};
    for (const auto &r : rates)
        set.save(r.file, cell(r.rate, amber), cellSize);

    const struct {
        const char *file;
        Box kind;
    } boxes[] = {{"box_checked2.png", Box::Checked},         {"box_unchecked.png", Box::Unchecked},
                 {"box_checked_gray.png", Box::CheckedGrey}, {"box_unchecked_gray.png", Box::UncheckedGrey},
                 {"radio_cross.png", Box::RoutingCross},     {"radio_white.png", Box::RoutingOpen},
                 {"radio_gray.png", Box::RoutingGrey}};
    for (const auto &b : boxes)
        set.save(b.file, indicator(b.kind), QSize(12, 13));

    set.save("slider_back.png", grooveImage(), QSize(23, FaderScale::sliderHeight));
    set.save("slider_knob.png", knobImage(), QSize(20, FaderScale::knobHeight));
}
