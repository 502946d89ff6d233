// The MIDI link's outbound commands: each message is built, logged and sent.
#include "protocol/MIDI.h"

#include "model/DeviceClock.h"
#include "model/SettingTable.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDILinkSupport.h"
#include "protocol/MidiCodec.h"
#include "protocol/MidiPort.h"
#include "protocol/RevisionInfo.h"

#include <memory>

TAVIK_REVISION("MIDICommands.cpp");

using namespace MidiLink;
using namespace TavikSysEx;

void MIDI::send(MidiMessage *message) {
    std::unique_ptr<MidiMessage> owned(message);
    MidiCodec::printMsg(message, false, -1.0);
    if (_midiOutDevice && warnOnError([&] { _midiOutDevice->sendMessage(message); }))
        emit messageSent(*message);
}

void MIDI::sendCommand(qint32 serialNo, unsigned char family, unsigned char command, const char *name) {
    if (!_midiOutDevice || !_isConnected)
        return;
    MidiMessage *message = MidiCodec::prepMsgHeader(family);
    MidiCodec::prepMsgSerialNumber(message, serialNo);
    message->push_back(command);
    MidiCodec::prepMsgSysExEnd(message);
    TAVIK_DEBUG(QStringLiteral("Sending ") + QLatin1String(name) + QStringLiteral(" command to serial no. ") +
                QString::number(serialNo));
    send(message);
}

void MIDI::sendMsgSEND_VERSION(qint32 serialNo, unsigned char family) {
    sendCommand(serialNo, family, SEND_VERSION, "SEND_VERSION");
}

void MIDI::sendMsgSEND_INFO(qint32 serialNo) {
    sendCommand(serialNo, FamilyNeo, SEND_INFO, "SEND_INFO");
}

MidiMessage *MIDI::startDeviceMessage(qint32 serialNo, unsigned char command, TavikConfiguration **cfg) {
    if (!_isConnected || serialNo == 0 || !registry())
        return nullptr;
    *cfg = configuration(serialNo);
    if (!*cfg)
        return nullptr;
    MidiMessage *message = MidiCodec::prepMsgHeader((*cfg)->getDeviceType());
    MidiCodec::prepMsgSerialNumber(message, serialNo);
    message->push_back(command);
    return message;
}

void MIDI::sendMsgSET_VALUES(qint32 serialNo, unsigned char startIndex) {
    TavikConfiguration *cfg = nullptr;
    MidiMessage *message = startDeviceMessage(serialNo, SET_VALUES, &cfg);
    if (!message)
        return;
    message->push_back(startIndex);
    // The group's values in their order, as the record holds them.
    SettingTable::Group group;
    if (SettingTable::groupOfStart(startIndex, &group)) {
        for (int slot = 0; slot < SettingTable::count(group); ++slot)
            message->push_back(cfg->value(*SettingTable::at(group, slot)));
    } else {
        TAVIK_DEBUG(QStringLiteral("sendMsgSET_VALUES: unknown start index = ") +
                    QString::number(startIndex));
    }
    MidiCodec::prepMsgSysExEnd(message);
    TAVIK_DEBUG(QStringLiteral("Sending to MIDI-OUT SET VALUES cmd!"));
    cfg->noteValuesSent(DeviceClock::now());
    send(message);
}

void MIDI::prepMsgFaderValues(MidiMessage *message, qint32 serialNo) {
    TavikConfiguration *cfg = configuration(serialNo);
    if (!message || !cfg)
        return;
    message->push_back(SettingTable::startIndex(SettingTable::Faders));
    for (int i = 0; i < SettingTable::FaderCount; ++i)
        message->push_back(cfg->value(*SettingTable::at(SettingTable::Faders, i)));
}

void MIDI::sendMsgSET_FADERS(qint32 serialNo) {
    TavikConfiguration *cfg = nullptr;
    MidiMessage *message = startDeviceMessage(serialNo, SET_FADERS, &cfg);
    if (!message)
        return;
    prepMsgFaderValues(message, serialNo);
    MidiCodec::prepMsgSysExEnd(message);
    send(message);
}
