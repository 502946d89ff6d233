// Small control pictures: status cells, indicator boxes, fader groove and knob.
#pragma once

#include "ImageSet.h"

#include <QColor>
#include <QImage>
#include <QString>

class ControlImages {
public:
    static constexpr int cellWidth = 49;
    static constexpr int cellHeight = 25;

    // A 49 x 25 status cell: a dark display window, lit with text in colour, or empty when text is empty.
    static QImage cell(const QString &text, const QColor &colour);
    // The flat grey cell that stands where an input has nothing to show.
    static QImage unusedCell();
    // The same window unlit and dimmed, for rows a device does not have.
    static QImage dimCell();

    static QImage grooveImage();
    static QImage knobImage();

    // Writes every picture of this group.
    static void writeAll(ImageSet &set);

private:
    enum class Box { Unchecked, Checked, UncheckedGrey, CheckedGrey, RoutingOpen, RoutingCross, RoutingGrey };
    static QImage indicator(Box kind);
};
