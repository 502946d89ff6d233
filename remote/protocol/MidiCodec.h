// Field codec, framing checks, builders and diagnostic dump of the Tavik SysEx messages.
#pragma once

#include "protocol/MidiMessage.h"
#include "sysex/TavikSysEx.h"

#include <QString>
#include <QtGlobal>

class MidiCodec {
public:
    // Readers never read outside the message: out of range gives 0 (or -1) and a warning.
    static unsigned char readChar8(const MidiMessage *msg, int index);
    static unsigned char readChar4(const MidiMessage *msg, int index, bool low);
    static qint32 readInt32(const MidiMessage *msg, int index);
    static qint32 readInt16(const MidiMessage *msg, int index);

    static bool parseMsgIsSysExType(const MidiMessage *msg);
    static bool parseMsgIsForTavikNeo(const MidiMessage *msg);
    static bool parseMsgIsForTavikLux(const MidiMessage *msg);

    static void prepMsgSysExStart(MidiMessage *msg);
    static void prepMsgManufacturerId(MidiMessage *msg);
    // A new message on the heap holding F0, the manufacturer identifier and the family byte.
    static MidiMessage *prepMsgHeader(unsigned char family);
    static void prepMsgSerialNumber(MidiMessage *msg, qint32 serial);
    static void prepMsgSysExEnd(MidiMessage *msg);

    // Debug dump of one message; stamp is -1.0 for outgoing messages.
    static void printMsg(const MidiMessage *msg, bool incoming, double stamp);
    static QString dumpText(const MidiMessage *msg, bool incoming, double stamp);

    // "0x" and at least two lower-case hex digits: 5 -> 0x05, 300 -> 0x12c.
    static QString hexText(unsigned int value);

    // The 11-character form in which serial numbers are shown, e.g. 12345 -> 141-202-380.
    static QString serialCode(qint32 serial);
};
