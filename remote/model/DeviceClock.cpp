#include "model/DeviceClock.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("DeviceClock.cpp");

std::function<qint64()> DeviceClock::source;

QDateTime DeviceClock::now() {
    if (source)
        return QDateTime::fromMSecsSinceEpoch(source());
    return QDateTime::currentDateTime();
}

void DeviceClock::setSource(std::function<qint64()> msecsSinceEpoch) {
    source = std::move(msecsSinceEpoch);
}
