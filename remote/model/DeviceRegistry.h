// The devices known to the program, keyed by serial number; serial 1 is the placeholder of the
// empty device window. Owns the records it holds.
#pragma once

#include <QList>
#include <QMap>
#include <QObject>

class TavikConfiguration;

class DeviceRegistry : public QObject {
    Q_OBJECT

public:
    explicit DeviceRegistry(QObject *parent = nullptr);
    ~DeviceRegistry() override;

    TavikConfiguration *getConfiguration(qint32 serialNo) const;
    void addConfiguration(qint32 serialNo, TavikConfiguration *configuration);
    void removeConfiguration(qint32 serialNo);
    void resetResponseTimes();
    // Drops the first device (placeholder aside) that has not answered for LivenessLimitMs.
    void removeSilentDevices();
    // Drops every device but the placeholder.
    void removeAllDevices();
    const QMap<qint32, TavikConfiguration *> &getDevices() const { return devices; }

    // A device that has not answered for longer than this is dropped.
    static constexpr qint64 LivenessLimitMs = 2000;
    // Serial numbers below this are no devices (0 is the broadcast, 1 the placeholder).
    static constexpr qint32 FirstDeviceSerial = 2;

signals:
    // A device is being dropped: its record is still there and is deleted right after.
    void deviceRemoving(qint32 serialNo);

private:
    void dropDevice(qint32 serialNo, const QString &reason);

    QMap<qint32, TavikConfiguration *> devices;
};
