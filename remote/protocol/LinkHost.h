// The program around the device core: it owns the device registry, the settings store and the MIDI
// link, and says whether a device has a window to show its reports in. The link and the pages are
// handed their host when they are built, and reach the core through it.
#pragma once

#include <QtGlobal>

class DeviceControl;
class DeviceRegistry;
class MIDI;
class QSettings;
class TavikConfiguration;

class LinkHost {
public:
    virtual DeviceRegistry *getRegistry() const = 0;
    virtual QSettings *getSettings() const = 0;
    // The link, or null while the program has none.
    virtual MIDI *getMIDI() const = 0;
    // What the pages change their device through, or null while the program has no link.
    virtual DeviceControl *getDeviceControl() const { return nullptr; }
    // False when reports of this device have nowhere to go (the link then leaves them unapplied).
    virtual bool hasDeviceView(qint32 serialNo) const = 0;

    // The record of a known device, or null.
    TavikConfiguration *getConfiguration(qint32 serialNo) const;

protected:
    ~LinkHost() = default;
};
