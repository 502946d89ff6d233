#include "IconDesigns.h"

namespace {
const QColor Orange(0xef, 0xa5, 0x34);
const QColor OrangeDark(0xc9, 0x7d, 0x16);
const QColor PanelTop(0x4a, 0x4e, 0x58);
const QColor PanelBottom(0x1c, 0x1e, 0x23);
const QColor Rim(0x8a, 0x8f, 0x9a);
const QColor Slot(0x0b, 0x0c, 0x0f);

// The rounded dark front plate both icons sit on, with a light rim that keeps it apart from dark panels.
void addPanel(IconDrawing &icon) {
    icon.addRoundedRect(QRectF(16, 16, 224, 224), 40, PanelTop, PanelBottom);
    icon.addRoundedOutline(QRectF(19, 19, 218, 218), 37, Rim, 6);
}
} // namespace

namespace IconDesigns {

IconDrawing remote() {
    IconDrawing icon;
    addPanel(icon);
    // Three fader slots with their knobs at different heights, as on the gain page.
    const qreal slotX[] = {68, 118, 168};
    const qreal knobY[] = {138, 70, 112};
    for (int i = 0; i < 3; ++i) {
        icon.addRoundedRect(QRectF(slotX[i], 48, 20, 160), 10, Slot);
        icon.addRoundedRect(QRectF(slotX[i] - 16, knobY[i], 52, 30), 8, Orange, OrangeDark);
        icon.addRoundedRect(QRectF(slotX[i] - 10, knobY[i] + 13, 40, 4), 2, Slot);
    }
    return icon;
}

IconDrawing logo() {
    IconDrawing icon;
    addPanel(icon);
    // A small start-up screen: light frame, night sky, sun and hills.
    icon.addRoundedRect(QRectF(40, 48, 176, 140), 10, QColor(0xe8, 0xe9, 0xee));
    icon.addRoundedRect(QRectF(50, 58, 156, 120), 4, QColor(0x14, 0x2a, 0x5c), QColor(0x05, 0x0a, 0x1a));
    icon.addEllipse(QRectF(136, 70, 40, 40), QColor(0x5c, 0xc0, 0xf5));
    icon.addPolygon({{50, 178}, {50, 150}, {92, 104}, {132, 150}, {150, 132}, {206, 178}},
                    QColor(0x3a, 0x7d, 0x4c));
    // The upload arrow, pointing into the screen from below.
    icon.addPolygon({{128, 140}, {170, 184}, {146, 184}, {146, 222}, {110, 222}, {110, 184}, {86, 184}},
                    Orange);
    return icon;
}

} // namespace IconDesigns
