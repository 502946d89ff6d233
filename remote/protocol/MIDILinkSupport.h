// Pieces shared by the source files of the MIDI link.
#pragma once

#include "model/DeviceRegistry.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"

#include <QString>
#include <exception>

class QSettings;
class TavikConfiguration;

namespace MidiLink {

// Messages the input port object keeps until they are read.
constexpr unsigned int InputQueueLimit = 100;

inline QString errorText(const std::exception &e) {
    return QString::fromLocal8Bit(e.what());
}

// Runs a call into the MIDI library; an error it raises is written as a warning.
// True when the call went through.
template <typename Call> bool warnOnError(Call &&call) {
    try {
        call();
        return true;
    } catch (const std::exception &e) {
        LogSwitch::warning(errorText(e));
        return false;
    }
}

inline DeviceRegistry *registry() {
    LinkHost *host = LinkHost::instance();
    return host ? host->getRegistry() : nullptr;
}

inline QSettings *settings() {
    LinkHost *host = LinkHost::instance();
    return host ? host->getSettings() : nullptr;
}

inline TavikConfiguration *configuration(qint32 serialNo) {
    DeviceRegistry *devices = registry();
    return devices ? devices->getConfiguration(serialNo) : nullptr;
}

} // namespace MidiLink
