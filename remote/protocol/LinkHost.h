// What the MIDI link needs from the program around it: the device registry, the settings store,
// and whether a device has a window to show its reports in. The program registers one host.
#pragma once

#include <QtGlobal>

class DeviceRegistry;
class QSettings;

class LinkHost {
public:
    // The registered host, or null.
    static LinkHost *instance();
    static void setInstance(LinkHost *host);

    virtual DeviceRegistry *getRegistry() const = 0;
    virtual QSettings *getSettings() const = 0;
    // False when reports of this device have nowhere to go (the link then leaves them unapplied).
    virtual bool hasDeviceView(qint32 serialNo) const = 0;

protected:
    ~LinkHost() = default;
};
