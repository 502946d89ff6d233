#include "WindowImages.h"

#include "PanelPainter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QtMath>

namespace {

using W = PanelPainter::Weight;

// Places inside the main window (window coordinates) where the child widgets come to lie.
const QRectF deviceListArea(4, 45, 229, 421);
const QRectF midiPanelArea(4, 470, 229, 143);
const QRectF levelsArea(237, 45, 546, 494);
const QRectF statusArea(788, 45, 229, 143);
const QRectF settingsArea(788, 193, 229, 170);
const QRectF smuxArea(788, 368, 229, 170);
const QRectF routingAreas[3] = {{1022, 45, 223, 219}, {1022, 269, 223, 178}, {1022, 452, 223, 160}};
const QRectF infoArea(247, 20, 400, 20);
const QRectF lockArea(242, 548, 74, 21);

QColor editionColour(int kind) {
    if (kind == 1)
        return PanelPainter::accent();
    if (kind == 5)
        return QColor(0x7c, 0xc8, 0xff);
    return QColor(0x8a, 0x8f, 0x98);
}

void led(QPainter &p, const QPointF &c, const QColor &colour, bool lit) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 180));
    p.drawEllipse(c, 2.4, 2.4);
    if (lit) {
        QRadialGradient g(c, 5);
        QColor halo = colour;
        halo.setAlpha(90);
        g.setColorAt(0.0, halo);
        g.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setBrush(g);
        p.drawEllipse(c, 5, 5);
        p.setBrush(colour);
    } else {
        p.setBrush(QColor(0x3a, 0x3d, 0x43));
    }
    p.drawEllipse(c, 1.7, 1.7);
    p.restore();
}

// The five-pin socket drawn beside a MIDI port list.
void dinSocket(QPainter &p, const QPointF &c, qreal r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x9a, 0x9f, 0xa8), 1.2));
    QRadialGradient g(c, r);
    g.setColorAt(0.0, QColor(0x0c, 0x0d, 0x10));
    g.setColorAt(1.0, QColor(0x22, 0x25, 0x2a));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb8, 0xbd, 0xc5));
    const qreal pr = r * 0.58;
    for (int i = 0; i < 5; ++i) {
        const qreal a = qDegreesToRadians(180.0 + 45.0 * i);
        p.drawEllipse(c + QPointF(pr * qCos(a), -pr * qSin(a)), 1.0, 1.0);
    }
    p.setBrush(QColor(0x9a, 0x9f, 0xa8));
    p.drawRect(QRectF(c.x() - 1, c.y() + r - 2.2, 2, 2));
    p.restore();
}

} // namespace

void WindowImages::drawDevice(QPainter &p, const QRectF &r, int kind) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const bool known = kind == 1 || kind == 5;
    const QColor colour = editionColour(kind);
    const qreal s = r.height() / 46.0;
    const qreal ear = 12 * s;

    // Rack ears with their mounting slots.
    for (int side = 0; side < 2; ++side) {
        const QRectF e = side == 0 ? QRectF(r.left(), r.top(), ear + 2, r.height())
                                   : QRectF(r.right() - ear - 2, r.top(), ear + 2, r.height());
        QLinearGradient g(e.topLeft(), e.topRight());
        g.setColorAt(0.0, QColor(0x4a, 0x4e, 0x56));
        g.setColorAt(1.0, QColor(0x30, 0x33, 0x39));
        QPainterPath path;
        path.addRoundedRect(e, 2 * s, 2 * s);
        p.fillPath(path, g);
        const qreal cx = side == 0 ? r.left() + ear / 2.0 : r.right() - ear / 2.0;
        for (qreal cy : {r.top() + 10 * s, r.bottom() - 10 * s}) {
            QPainterPath slot;
            slot.addRoundedRect(QRectF(cx - 3.5 * s, cy - 2 * s, 7 * s, 4 * s), 2 * s, 2 * s);
            p.fillPath(slot, QColor(0x0b, 0x0c, 0x0e));
        }
    }

    // Front plate.
    const QRectF front(r.left() + ear, r.top() + 0.5, r.width() - 2 * ear, r.height() - 1);
    QLinearGradient fg(front.topLeft(), front.bottomLeft());
    fg.setColorAt(0.0, known ? QColor(0x3a, 0x3e, 0x47) : QColor(0x43, 0x46, 0x4c));
    fg.setColorAt(1.0, known ? QColor(0x23, 0x26, 0x2c) : QColor(0x2e, 0x30, 0x35));
    p.fillRect(front, fg);
    PanelPainter::brush(p, front, 900 + kind, 6);
    p.setPen(QPen(QColor(0, 0, 0, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(front.adjusted(0, 0, -0.5, -0.5));
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(front.topLeft() + QPointF(1, 1), front.topRight() + QPointF(-1, 1));

    // Wordmark and edition.
    const qreal lx = front.left() + 8 * s;
    QFont brand = PanelPainter::font(W::Bold, 11 * s, 2.2 * s);
    PanelPainter::legendText(p, QRectF(lx, front.top() + 6 * s, 80 * s, 15 * s),
                             Qt::AlignLeft | Qt::AlignVCenter, "TAVIK", brand,
                             known ? PanelPainter::legend() : QColor(0xb0, 0xb4, 0xbb));
    const qreal bw = QFontMetricsF(brand).horizontalAdvance("TAVIK");
    const QString edition = kind == 1 ? "NEO" : kind == 5 ? "LUX" : "?";
    PanelPainter::legendText(p, QRectF(lx + bw + 4 * s, front.top() + 6 * s, 40 * s, 15 * s),
                             Qt::AlignLeft | Qt::AlignVCenter, edition,
                             PanelPainter::font(W::Light, 11 * s, 2 * s), colour);
    PanelPainter::legendText(p, QRectF(lx, front.top() + 22 * s, 90 * s, 9 * s),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             known ? "AUDIO CONVERTER" : "UNIDENTIFIED UNIT",
                             PanelPainter::font(W::Regular, 5.5 * s, 0.5 * s), PanelPainter::legendDim());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRect(QRectF(lx, front.top() + 33 * s, 28 * s, 1.5 * s));

    // Display window with the rate it runs at.
    const QRectF disp(front.left() + 100 * s, front.top() + 10 * s, 38 * s, 22 * s);
    PanelPainter::recess(p, disp, QColor(0x07, 0x08, 0x0a), 1.5 * s);
    if (known) {
        QFont df = PanelPainter::font(W::Bold, 10 * s);
        PanelPainter::legendText(p, disp.adjusted(0, 0, 0, -1), Qt::AlignCenter, kind == 1 ? "48k" : "44.1k",
                                 df, colour);
    } else {
        PanelPainter::legendText(p, disp, Qt::AlignCenter, "- - -", PanelPainter::font(W::Bold, 9 * s),
                                 QColor(0x55, 0x59, 0x60));
    }

    // Input LEDs: MADI (Neo only), ADAT A, ADAT B, BNC, lock.
    const qreal ledX = front.left() + 146 * s;
    for (int i = 0; i < 5; ++i) {
        const bool present = kind == 1 || (kind == 5 && i != 0);
        const bool lit = known && present && i != 2;
        led(p, QPointF(ledX + i * 7.5 * s, front.top() + 14 * s),
            i == 4 ? PanelPainter::signalGreen() : colour, lit);
    }
    // Two BNC word clock sockets on the right.
    for (int i = 0; i < 2; ++i) {
        const QPointF c(ledX + (6 + i * 22) * s, front.top() + 29 * s);
        p.setPen(QPen(QColor(0x9a, 0x9f, 0xa8), 1.0 * s));
        p.setBrush(QColor(0x15, 0x17, 0x1a));
        p.drawEllipse(c, 5 * s, 5 * s);
        p.setBrush(QColor(0xc8, 0xa2, 0x5a));
        p.setPen(Qt::NoPen);
        p.drawEllipse(c, 1.2 * s, 1.2 * s);
    }
    p.restore();
}

void WindowImages::drawLogo(QPainter &p, const QPointF &origin, qreal factor) {
    p.save();
    p.translate(origin);
    p.scale(factor, factor);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // The mark: an amber tile carrying three level bars.
    QPainterPath tile;
    tile.addRoundedRect(QRectF(1, 3, 26, 26), 5, 5);
    QLinearGradient g(0, 3, 0, 29);
    g.setColorAt(0.0, PanelPainter::accent().lighter(112));
    g.setColorAt(1.0, PanelPainter::accent().darker(125));
    p.fillPath(tile, g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x17, 0x19, 0x1d));
    const qreal bars[3] = {10, 18, 13};
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(6.5 + i * 6, 24 - bars[i], 3.6, bars[i]), 1.2, 1.2);
    // Name and line.
    PanelPainter::legendText(p, QRectF(33, 3, 96, 17), Qt::AlignLeft | Qt::AlignVCenter, "KALVENSO",
                             PanelPainter::font(W::Bold, 14, 1.6), PanelPainter::legend());
    PanelPainter::legendText(p, QRectF(33, 19, 96, 11), Qt::AlignLeft | Qt::AlignVCenter, "DIGITAL AUDIO",
                             PanelPainter::font(W::Regular, 7.5, 2.1), PanelPainter::legendDim());
    p.restore();
}

QImage WindowImages::mainBackground() {
    return ImageSet::drawn(QSize(1249, 616), ImageSet::Antialiased, [](QPainter &p) {
        PanelPainter::fillChassis(p, QRectF(0, 0, 1249, 616), 7);

        // Header rail across the top of the device area.
        const QRectF rail(237, 8, 1010, 35);
        QLinearGradient rg(rail.topLeft(), rail.bottomLeft());
        rg.setColorAt(0.0, QColor(0x26, 0x29, 0x2f));
        rg.setColorAt(1.0, QColor(0x1c, 0x1e, 0x23));
        p.fillRect(rail, rg);
        PanelPainter::bezel(p, rail);

        // Every page and panel sits in its own opening of the chassis.
        for (const QRectF &r : {deviceListArea, midiPanelArea, levelsArea, statusArea, settingsArea, smuxArea,
                                routingAreas[0], routingAreas[1], routingAreas[2]}) {
            PanelPainter::fillPanel(p, r, 11);
            PanelPainter::bezel(p, r);
        }

        // Display strip for the information line (dark text on a light strip).
        PanelPainter::recess(p, infoArea.adjusted(-6, -2, 6, 1), PanelPainter::strip(), 2);
        // Plate under the lock switch.
        PanelPainter::recess(p, lockArea.adjusted(-3, -3, 5, 3), PanelPainter::strip(), 3);

        // Maker's legend in the free corner below the device pages.
        PanelPainter::legendText(p, QRectF(560, 552, 450, 28), Qt::AlignRight | Qt::AlignVCenter, "TAVIK",
                                 PanelPainter::font(W::Bold, 24, 7), QColor(0x9a, 0x9f, 0xa8));
        PanelPainter::legendText(p, QRectF(460, 580, 550, 16), Qt::AlignRight | Qt::AlignVCenter,
                                 "DIGITAL AUDIO CONVERTERS  \u00b7  MIDI REMOTE",
                                 PanelPainter::font(W::Regular, 9, 2.4), QColor(0x6c, 0x71, 0x7a));
        p.setPen(Qt::NoPen);
        p.setBrush(PanelPainter::accent());
        p.drawRect(QRectF(940, 600, 70, 2));

        for (const QPointF &c : {QPointF(12, 12), QPointF(225, 12)})
            PanelPainter::screw(p, c, 4);
    });
}

QImage WindowImages::deviceListCaption() {
    return ImageSet::drawn(QSize(77, 18), ImageSet::Antialiased, [](QPainter &p) {
        PanelPainter::legendText(p, QRectF(0, 0, 77, 15), Qt::AlignCenter, "DEVICES",
                                 PanelPainter::font(W::Bold, 11, 1.8), PanelPainter::legend());
        p.setPen(Qt::NoPen);
        p.setBrush(PanelPainter::accent());
        p.drawRect(QRectF(27, 15.5, 23, 1.5));
    });
}

QImage WindowImages::midiPanel() {
    return ImageSet::drawn(QSize(229, 143), ImageSet::Antialiased, [](QPainter &p) {
        PanelPainter::fillPanel(p, QRectF(0, 0, 229, 143), 601);
        PanelPainter::titleBand(p, QRectF(0, 0, 229, 143), "MIDI CONNECTION");
        const QFont f = PanelPainter::font(W::Regular, 10, 0.4);
        // Captions sit just above the input list (28, 41) and the output list (28, 82).
        PanelPainter::legendText(p, QRectF(29, 24, 170, 16), Qt::AlignLeft | Qt::AlignVCenter,
                                 "MIDI input port", f, PanelPainter::legendDim());
        PanelPainter::legendText(p, QRectF(29, 65, 170, 16), Qt::AlignLeft | Qt::AlignVCenter,
                                 "MIDI output port", f, PanelPainter::legendDim());
        PanelPainter::legendText(p, QRectF(203, 41, 24, 20), Qt::AlignCenter, "IN",
                                 PanelPainter::font(W::Bold, 8), PanelPainter::accent());
        PanelPainter::legendText(p, QRectF(203, 82, 24, 20), Qt::AlignCenter, "OUT",
                                 PanelPainter::font(W::Bold, 8), PanelPainter::accent());
        dinSocket(p, QPointF(14.5, 51), 9);
        dinSocket(p, QPointF(14.5, 92), 9);
        // Faint seat for the connect button.
        p.setPen(QColor(255, 255, 255, 18));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(52.5, 108.5, 124, 27), 4, 4);
    });
}

QImage WindowImages::logo() {
    return ImageSet::drawn(QSize(129, 32), ImageSet::Aliased,
                           [](QPainter &p) { drawLogo(p, QPointF(0, 0), 1.0); });
}

QImage WindowImages::splash(const QString &version) {
    return ImageSet::drawn(QSize(489, 228), ImageSet::Antialiased, [&](QPainter &p) {
        PanelPainter::fillPanel(p, QRectF(0, 0, 489, 228), 701);
        p.fillRect(QRectF(0, 0, 489, 3), PanelPainter::accent());

        drawLogo(p, QPointF(20, 14), 1.0);
        PanelPainter::legendText(p, QRectF(20, 52, 230, 28), Qt::AlignLeft | Qt::AlignVCenter,
                                 "Kalvenso Remote", PanelPainter::font(W::Bold, 21), Qt::white);
        PanelPainter::legendText(p, QRectF(20, 80, 230, 16), Qt::AlignLeft | Qt::AlignVCenter,
                                 "Version " + version, PanelPainter::font(W::Regular, 11, 0.5),
                                 PanelPainter::accent());
        PanelPainter::legendText(p, QRectF(20, 100, 230, 30), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                 "Remote control of the Tavik digital audio converters over MIDI",
                                 PanelPainter::font(W::Regular, 10), PanelPainter::legendDim());

        // Supported editions, drawn as the units themselves.
        PanelPainter::legendText(p, QRectF(256, 14, 217, 14), Qt::AlignLeft | Qt::AlignVCenter,
                                 "SUPPORTED EDITIONS", PanelPainter::font(W::Bold, 9, 1.6),
                                 PanelPainter::legendDim());
        drawDevice(p, QRectF(256, 32, 217, 46), 1);
        PanelPainter::legendText(p, QRectF(256, 79, 217, 14), Qt::AlignRight | Qt::AlignVCenter, "Tavik Neo",
                                 PanelPainter::font(W::Bold, 10), PanelPainter::legend());
        drawDevice(p, QRectF(256, 96, 217, 46), 5);
        PanelPainter::legendText(p, QRectF(256, 143, 217, 14), Qt::AlignRight | Qt::AlignVCenter, "Tavik Lux",
                                 PanelPainter::font(W::Bold, 10), PanelPainter::legend());

        // Credits and where updates come from.
        PanelPainter::hairline(p, QLineF(20, 166, 469, 166), QColor(255, 255, 255, 30));
        const QFont cf = PanelPainter::font(W::Regular, 9);
        const QColor cc = PanelPainter::legendDim();
        PanelPainter::legendText(p, QRectF(20, 170, 330, 13), Qt::AlignLeft | Qt::AlignVCenter,
                                 "Design and software: Kalvenso", cf, cc);
        PanelPainter::legendText(p, QRectF(20, 184, 330, 13), Qt::AlignLeft | Qt::AlignVCenter,
                                 "Built with Qt and RtMidi (Gary P. Scavone)", cf, cc);
        PanelPainter::legendText(p, QRectF(20, 198, 330, 13), Qt::AlignLeft | Qt::AlignVCenter,
                                 "Typeface Comfortaa by Johan Aakerlund, SIL Open Font Licence", cf, cc);
        PanelPainter::legendText(p, QRectF(300, 170, 169, 13), Qt::AlignRight | Qt::AlignVCenter,
                                 "Updates and manuals:", cf, cc);
        PanelPainter::legendText(p, QRectF(270, 184, 199, 14), Qt::AlignRight | Qt::AlignVCenter,
                                 "www.kalvenso.com", PanelPainter::font(W::Bold, 11), PanelPainter::accent());
        PanelPainter::legendText(p, QRectF(300, 212, 169, 12), Qt::AlignRight | Qt::AlignVCenter,
                                 "\u00a9 2026 Kalvenso", PanelPainter::font(W::Regular, 8),
                                 QColor(0x7a, 0x7f, 0x88));
    });
}

QImage WindowImages::deviceIcon(int kind) {
    return ImageSet::drawn(QSize(217, 46), ImageSet::Aliased,
                           [&](QPainter &p) { drawDevice(p, QRectF(0, 0, 217, 46), kind); });
}

void WindowImages::writeAll(ImageSet &set, const QString &version) {
    set.save("main.png", mainBackground(), QSize(1249, 616));
    set.save("devicelist.png", deviceListCaption(), QSize(77, 18));
    set.save("midiconnect.png", midiPanel(), QSize(229, 143));
    set.save("logo.png", logo(), QSize(129, 32));
    set.save("splash.png", splash(version), QSize(489, 228));
    set.save("tavik_icon_neo.png", deviceIcon(1), QSize(217, 46));
    set.save("tavik_icon_lux.png", deviceIcon(5), QSize(217, 46));
    set.save("tavik_icon_xxx.png", deviceIcon(0), QSize(217, 46));
}
