#include "SimPortLocator.h"

#include "logo/RtMidiPlatform.h"

#include <QSettings>

int SimPortLocator::Find(bool input, const QString &suffix) {
    RtMidiPlatform probe("TavikLogoProbe");
    for (unsigned i = 0; i < 100; ++i) {
        auto name = input ? probe.InDeviceName(i) : probe.OutDeviceName(i);
        if (!name)
            break;
        QString text = QString::fromStdString(*name);
        if (text.startsWith(QStringLiteral("tavik-sim")) && text.endsWith(suffix))
            return static_cast<int>(i);
    }
    return -1;
}

bool SimPortLocator::StoreAsProfile() {
    int out = Find(false, QStringLiteral(":in"));
    int in = Find(true, QStringLiteral(":out"));
    if (out < 0 || in < 0)
        return false;
    RtMidiPlatform probe("TavikLogoProbe");
    const auto inName = probe.InDeviceName(unsigned(in));
    const auto outName = probe.OutDeviceName(unsigned(out));
    if (!inName || !outName)
        return false;
    QSettings settings;
    settings.clear();
    settings.setValue(QStringLiteral("TavikNeo/MIDI_IN"), QString::number(in));
    settings.setValue(QStringLiteral("TavikNeo/MIDI_OUT"), QString::number(out));
    settings.setValue(QStringLiteral("TavikNeo/MIDI_IN_NAME"), QString::fromStdString(*inName));
    settings.setValue(QStringLiteral("TavikNeo/MIDI_OUT_NAME"), QString::fromStdString(*outName));
    settings.sync();
    return true;
}
