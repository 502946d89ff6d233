#include "model/DeviceClock.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("DeviceClock.cpp");

std::function<qint64()> DeviceClock::source;

// In UTC: the times are only compared and counted in milliseconds, and local time would make Qt
// consult the time-zone database (a stat of /etc/localtime) on every message a device sends.
QDateTime DeviceClock::now() {
    if (source)
        return QDateTime::fromMSecsSinceEpoch(source(), Qt::UTC);
    return QDateTime::currentDateTimeUtc();
}

void DeviceClock::setSource(std::function<qint64()> msecsSinceEpoch) {
    source = std::move(msecsSinceEpoch);
}
