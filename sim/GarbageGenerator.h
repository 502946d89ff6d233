// Makes the broken messages that --garbage mixes into a device's regular reports.
#pragma once

#include "sim/SysExFrame.h"

#include <QString>

class GarbageGenerator {
public:
    static constexpr size_t OversizedLength = 6000;
    static constexpr int KindCount = 9;

    // The next broken message for the device (kinds take turns); `kind` receives a short
    // description for the log.
    SysExMessage next(uint8_t family, uint32_t serial, QString *kind = nullptr);
    // Message of kind `index` (0 .. KindCount - 1).
    static SysExMessage make(int index, uint8_t family, uint32_t serial, QString *kind = nullptr);

private:
    int m_next = 0;
};
