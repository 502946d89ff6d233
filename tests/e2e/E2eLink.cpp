#include "E2eLink.h"

#include <RtMidi.h>

int portIndex(const QStringList &names, const QString &part) {
    for (int i = 0; i < names.size(); ++i)
        if (names[i].contains(part))
            return i;
    return -1;
}

namespace {
QStringList portNames(RtMidi &&probe) {
    QStringList names;
    for (unsigned int i = 0; i < probe.getPortCount(); ++i)
        names << QString::fromStdString(probe.getPortName(i));
    return names;
}
} // namespace

QStringList rtMidiInputNames() {
    return portNames(RtMidiIn(RtMidi::UNIX_JACK, "probe"));
}

QStringList rtMidiOutputNames() {
    return portNames(RtMidiOut(RtMidi::UNIX_JACK, "probe"));
}
