#include "E2eLink.h"

#include <RtMidi.h>

int portIndex(const QStringList &names, const QString &part) {
    for (int i = 0; i < names.size(); ++i)
        if (names[i].contains(part))
            return i;
    return -1;
}

QStringList rtMidiInputNames() {
    RtMidiIn in(RtMidi::UNIX_JACK, "probe");
    QStringList names;
    for (unsigned int i = 0; i < in.getPortCount(); ++i)
        names << QString::fromStdString(in.getPortName(i));
    return names;
}

QStringList rtMidiOutputNames() {
    RtMidiOut out(RtMidi::UNIX_JACK, "probe");
    QStringList names;
    for (unsigned int i = 0; i < out.getPortCount(); ++i)
        names << QString::fromStdString(out.getPortName(i));
    return names;
}
