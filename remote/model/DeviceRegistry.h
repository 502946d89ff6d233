// The devices known to the program, keyed by serial number; serial 1 is the placeholder of the
// empty device window. Owns the records it holds, and announces every change of their values.
#pragma once

#include "model/SettingTable.h"

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

    // A change of a device's values: its groups (Reported for the status values; for the faders
    // one fader with the code its report gave, which the record keeps only when in range, or -1
    // for all) and where it came from: FromDevice for the device's own reports, else the origin
    // of the front end that made it (each one takes its own from newOrigin()).
    static constexpr int FromDevice = 0;
    struct Change {
        qint32 serial = 0;
        SettingTable::Groups groups;
        int fader = -1;
        int faderCode = -1;
        int origin = FromDevice;
    };
    int newOrigin() { return ++lastOrigin; }
    // Tells every view, once, that a record's values changed (they are stored already).
    void announce(const Change &change) { emit valuesChanged(change); }

signals:
    void valuesChanged(const DeviceRegistry::Change &change);
    // A device is being dropped: its record is still there and is deleted right after.
    void deviceRemoving(qint32 serialNo);

private:
    void dropDevice(qint32 serialNo, const QString &reason);

    QMap<qint32, TavikConfiguration *> devices;
    int lastOrigin = FromDevice;
};
