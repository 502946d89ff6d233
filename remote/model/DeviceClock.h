// The wall clock that device bookkeeping reads; tests can set it.
#pragma once

#include <QDateTime>
#include <functional>

class DeviceClock {
public:
    static QDateTime now();
    // Milliseconds since the epoch to report instead of the system clock; an empty function restores it.
    static void setSource(std::function<qint64()> msecsSinceEpoch);

private:
    static std::function<qint64()> source;
};
