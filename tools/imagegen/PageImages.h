// Background pictures of the device pages: inputs, settings, SMUX, routing matrices and fader banks.
#pragma once

#include "ImageSet.h"

#include <QImage>

class PageImages {
public:
    // Which edition a picture is drawn for: the Neo, the Lux (no MADI port) or an unidentified device.
    enum class Edition { Neo, Lux, Off };

    static QImage inputs(Edition e);
    static QImage settings(Edition e);
    static QImage smux(Edition e);
    // range 0: 32/44.1/48 kHz, 1: 88.2/96 kHz, 2: 192 kHz.
    static QImage routing(int range);
    static QImage gains(bool input);

    static void writeAll(ImageSet &set);
};
