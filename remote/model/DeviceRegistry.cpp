#include "model/DeviceRegistry.h"

#include "model/DeviceClock.h"
#include "model/TavikConfiguration.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"

TAVIK_REVISION("DeviceRegistry.cpp");

DeviceRegistry::DeviceRegistry(QObject *parent) : QObject(parent) {}

DeviceRegistry::~DeviceRegistry() {
    qDeleteAll(devices);
    devices.clear();
}

TavikConfiguration *DeviceRegistry::getConfiguration(qint32 serialNo) const {
    return devices.value(serialNo, nullptr);
}

void DeviceRegistry::addConfiguration(qint32 serialNo, TavikConfiguration *configuration) {
    devices.insert(serialNo, configuration);
}

void DeviceRegistry::removeConfiguration(qint32 serialNo) {
    auto it = devices.find(serialNo);
    if (it == devices.end())
        return;
    TavikConfiguration *configuration = it.value();
    TAVIK_DEBUG(QStringLiteral("Removing Tavik device ") + QString::number(serialNo) +
                QStringLiteral(" from collection."));
    devices.remove(serialNo);
    delete configuration;
}

void DeviceRegistry::resetResponseTimes() {
    const QDateTime now = DeviceClock::now();
    for (TavikConfiguration *configuration : std::as_const(devices))
        configuration->setLastResponseTime(now);
}

void DeviceRegistry::dropDevice(qint32 serialNo, const QString &reason) {
    TAVIK_DEBUG(QStringLiteral("Removing device with serialno ") + QString::number(serialNo) + reason);
    emit deviceRemoving(serialNo);
    removeConfiguration(serialNo);
}

void DeviceRegistry::removeSilentDevices() {
    const qint64 now = DeviceClock::now().toMSecsSinceEpoch();
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        const qint32 serialNo = it.key();
        if (serialNo < FirstDeviceSerial)
            continue;
        const qint64 age = now - it.value()->getLastResponseTime().toMSecsSinceEpoch();
        if (age > LivenessLimitMs) {
            dropDevice(serialNo, QStringLiteral(" since we did not hear from it in 2 seconds."));
            return;
        }
    }
}

void DeviceRegistry::removeAllDevices() {
    const QList<qint32> serials = devices.keys();
    for (qint32 serialNo : serials) {
        if (serialNo < FirstDeviceSerial)
            continue;
        dropDevice(serialNo, QStringLiteral(" since we no like it."));
    }
}
