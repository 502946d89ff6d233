#include "FaderScale.h"

#include <QStyle>

int FaderScale::knobTop(int step) {
    return QStyle::sliderPositionFromValue(0, steps, step, sliderHeight - knobHeight, true);
}

QString FaderScale::legend(int step, bool input) {
    return QString::number(int(gain(step, input)));
}
