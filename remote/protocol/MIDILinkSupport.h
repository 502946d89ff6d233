// Pieces shared by the source files of the MIDI link.
#pragma once

#include "model/DeviceRegistry.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"

#include <QString>
#include <exception>

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

} // namespace MidiLink
