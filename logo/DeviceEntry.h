#pragma once

#include <QString>
#include <cstdint>

// One device that answered the query: its serial number, display serial and name.
struct DeviceEntry {
    uint32_t serial = 0;
    QString displaySerial;
    QString name;
};
