// What a program without windows gives the MIDI link: a registry and settings of its own, and
// every device counts as shown, so each report is applied to its record.
#pragma once

#include "model/DeviceRegistry.h"
#include "protocol/LinkHost.h"

#include <QSettings>
#include <QTemporaryDir>

class HeadlessHost : public LinkHost {
public:
    DeviceRegistry *getRegistry() const override { return &registry; }
    QSettings *getSettings() const override { return &settings; }
    MIDI *getMIDI() const override { return midi; }
    bool hasDeviceView(qint32) const override { return true; }

    MIDI *midi = nullptr; // the link under test, set by the test
    QTemporaryDir dir;
    mutable DeviceRegistry registry;
    mutable QSettings settings{dir.filePath(QStringLiteral("core.ini")), QSettings::IniFormat};
};
