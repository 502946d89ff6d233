// What a program without windows gives the MIDI link: a registry and settings of its own, and
// every device counts as shown, so each report is applied to its record.
#pragma once

#include "DeviceRegistry.h"
#include "LinkHost.h"

#include <QSettings>
#include <QTemporaryDir>

class HeadlessHost : public LinkHost {
public:
    DeviceRegistry *getRegistry() const override { return &registry; }
    QSettings *getSettings() const override { return &settings; }
    bool hasDeviceView(qint32) const override { return true; }

    QTemporaryDir dir;
    mutable DeviceRegistry registry;
    mutable QSettings settings{dir.filePath(QStringLiteral("core.ini")), QSettings::IniFormat};
};
