// Names a MIDI message in the words of the pages: its command, the device it is from or for, and
// its fields decoded ("rate 48 kHz, sync Master, ..."). A message that is not a well-formed Tavik
// message is named as such, with the reason; nothing is read outside the message.
#pragma once

#include "protocol/MidiMessage.h"

#include <QString>
#include <QStringList>

class MessageDecoder {
public:
    struct Decoded {
        bool wellFormed = false;
        quint8 family = 0;
        qint32 serial = -1; // -1 when the message has none
        QString command;    // "GET_FADERS"; empty when not a Tavik message
        QString fields;     // the decoded values, or why the message is malformed
    };

    static Decoded decode(const MidiMessage &message);
    // The names of the commands it knows, in the order of their codes ("SEND_VERSION" ... "GET_FADERS").
    static QStringList commandNames();
    // "F0 00 11 22 ... F7"
    static QString hex(const MidiMessage &message);
};
