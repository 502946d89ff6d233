// The MIDI link's inbound dispatch: a received message is checked, routed by its command and
// stored in the device's record; each stored part is signalled.
#include "protocol/MIDI.h"

#include "model/DeviceClock.h"
#include "model/SettingTable.h"
#include "model/TavikConfiguration.h"
#include "protocol/MIDILinkSupport.h"
#include "protocol/MidiCodec.h"
#include "protocol/RevisionInfo.h"

#include <utility>

TAVIK_REVISION("MIDIDispatch.cpp");

using namespace MidiLink;
using namespace TavikSysEx;

namespace {
QString nameOf(const TavikConfiguration *cfg) {
    return QString::fromLatin1(cfg->getDeviceName());
}

QString deviceSuffix(const TavikConfiguration *cfg, qint32 serialNo) {
    return QStringLiteral(" for device  ") + nameOf(cfg) + QStringLiteral("(sn=") +
           QString::number(serialNo) + QStringLiteral(")");
}

QString nameOrUnknown(const QString &name) {
    return name.isEmpty() ? QStringLiteral("unknown") : name;
}

// The checks shared by the version and status handlers, in their order, each with its warning.
bool isFramedReport(const MidiMessage *message, unsigned char command, size_t size, const char *tag) {
    const char *problem = nullptr;
    if (!message)
        problem = " null msg!";
    else if (MidiCodec::readChar8(message, CommandIndex) != command)
        problem = " wrong cmd byte!";
    else if (message->size() != size)
        problem = " wrong msg size!";
    else if (message->back() != SysExEnd)
        problem = " no sysex-end!";
    if (!problem)
        return true;
    LogSwitch::warning(QStringLiteral("early return: ") + QLatin1String(tag) + QLatin1String(problem));
    return false;
}

// How parseMsg() treats each command after the version bookkeeping: the line it logs (none for
// commands a device does not send) and the handler it calls (if any). Others are unknown.
struct Route {
    unsigned char command;
    const char *found;
    void (MIDI::*handler)(MidiMessage *, qint32);
};
const Route Routes[] = {
    {SEND_VERSION, nullptr, nullptr},
    {SET_VALUES, nullptr, nullptr},
    {SET_FADERS, nullptr, nullptr},
    {PICTURE_CHUNK, nullptr, nullptr},
    {UPDATE, nullptr, nullptr},
    {SEND_INFO, nullptr, nullptr},
    {GET_VERSION, nullptr, nullptr},
    {ACK_VALUES, "Found ACK VALUES command.", &MIDI::parseMsgACK_VALUES},
    {ACK_FADERS, "Found ACK FADERS command.", &MIDI::parseMsgACK_FADERS},
    {ACK_PIC, "Found ACK PIC command.", nullptr},
    {ACK_UPDATE, "Found ACK UPDATE command.", nullptr},
    {ACK_INFO, "Found ACK INFO command.", nullptr},
    {GET_CONFIG, "Found GET CONFIG command.", &MIDI::parseMsgGET_CONFIG},
    {GET_STATUS, "Found GET STATUS command.", &MIDI::parseMsgGET_STATUS},
    {GET_FADERS, "Found GET FADERS command.", &MIDI::parseMsgGET_FADERS},
};
} // namespace

void MIDI::announceReport(qint32 serialNo, SettingTable::Group group, int fader, int code) {
    if (DeviceRegistry *devices = registry())
        devices->announce({serialNo, group, fader, code, DeviceRegistry::FromDevice});
}

void MIDI::parseMsg(double stamp, MidiMessage *message) {
    MidiCodec::printMsg(message, true, stamp);
    TAVIK_DEBUG(QStringLiteral("Parsing message now..."));
    if (!MidiCodec::parseMsgIsSysExType(message))
        return;
    if (!MidiCodec::parseMsgIsForTavikNeo(message) && !MidiCodec::parseMsgIsForTavikLux(message))
        return;

    const qint32 serialNo = MidiCodec::readInt32(message, SerialIndex);
    if (serialNo > 0)
        TAVIK_DEBUG(QStringLiteral("Message from Tavik device family with serial number = ") +
                    QString::number(serialNo));
    const unsigned char command = MidiCodec::readChar8(message, CommandIndex);

    if (command == GET_VERSION) {
        TAVIK_DEBUG(QStringLiteral("Found GET VERSION command."));
        DeviceRegistry *devices = registry();
        TavikConfiguration *cfg = devices ? devices->getConfiguration(serialNo) : nullptr;
        if (cfg) {
            const QDateTime now = DeviceClock::now();
            cfg->setLastResponseTime(now);
            TAVIK_DEBUG(QStringLiteral("Setting last response time for device ") + QString::number(serialNo) +
                        QStringLiteral(" to ") + QString::number(now.toMSecsSinceEpoch()));
        } else if (serialNo > 0 && devices) {
            admitDevice(message, serialNo);
        }
    }

    const Route *route = nullptr;
    for (const Route &r : Routes)
        if (r.command == command)
            route = &r;
    if (!route)
        TAVIK_DEBUG(QStringLiteral(
                        "Possible problem: Unknown vendor-specific command found in last message: cmd = ") +
                    MidiCodec::hexText(command));
    else if (route->found)
        TAVIK_DEBUG(QLatin1String(route->found));
    if (route && route->handler)
        (this->*route->handler)(message, serialNo);

    TAVIK_DEBUG(QStringLiteral("**** Done parsing current MIDI-message ***"));
    TAVIK_DEBUG(QStringLiteral("******************************************"));
}

void MIDI::admitDevice(MidiMessage *message, qint32 serialNo) {
    sendMsgSEND_INFO(serialNo);
    const unsigned char byte4 = MidiCodec::readChar8(message, FamilyIndex);
    const quint8 family = (byte4 == FamilyNeo || byte4 == FamilyLux) ? byte4 : 0;
    TAVIK_DEBUG(QStringLiteral("Tavik with sn= ") + QString::number(serialNo) +
                QStringLiteral(", device type = ") + QString::number(family) +
                QStringLiteral(" is new, adding it to collection!"));
    auto *cfg = new TavikConfiguration(serialNo);
    cfg->setDeviceType(family);
    registry()->addConfiguration(serialNo, cfg);
    parseMsgGET_VERSION(message, serialNo);
    emit deviceAdmitted(serialNo, family);
}

void MIDI::parseMsgGET_VERSION(MidiMessage *message, qint32 serialNo) {
    if (!isFramedReport(message, GET_VERSION, 29, "GET_VERSION"))
        return;
    TavikConfiguration *cfg = configuration(serialNo);
    if (!cfg) {
        LogSwitch::warning(QStringLiteral("early return: GET_VERSION no cfg!"));
        return;
    }
    TAVIK_DEBUG(
        QStringLiteral("GET VERSION cmd: Setting configuration from Tavik to GUI for Tavik serialNo=") +
        QString::number(serialNo));
    cfg->setVersion1((*message)[10]);
    cfg->setVersion2((*message)[11]);
    char text[17];
    for (int i = 0; i < 16; ++i) {
        const unsigned char c = (*message)[12 + i];
        text[i] = (c == 0x7F) ? '\0' : char(c);
    }
    text[16] = '\0';
    cfg->setDeviceName(text);
}

void MIDI::parseMsgGET_CONFIG(MidiMessage *message, qint32 serialNo) {
    if (!message) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG null msg!"));
        return;
    }
    if (message->size() != SettingTable::reportSize(SettingTable::Report::Config)) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG msg wrong size!"));
        return;
    }
    if ((*message)[CommandIndex] != GET_CONFIG) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG has no GET_CONFIG cmd!"));
        return;
    }
    if (message->back() != SysExEnd) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG has no sysex-end!"));
        return;
    }
    TavikConfiguration *cfg = configuration(serialNo);
    if (!cfg) {
        if (LogSwitch::isOn())
            LogSwitch::warning(QStringLiteral("early return: GET_CONFIG no tavikcfg!"));
        return;
    }
    TAVIK_DEBUG(
        QStringLiteral("GET CONFIG cmd: Setting configuration from Tavik to GUI for Tavik serialNo=") +
        QString::number(serialNo));
    if (!_host.hasDeviceView(serialNo)) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG no cfgDlg!"));
        return;
    }

    // The values in the order they sit in the report; each group is announced once its last value
    // is stored (the routing of a Tavik Lux, which has none, is stored but not announced).
    const quint8 *bytes = message->data();
    const SettingTable::Groups shown = SettingTable::groupsOf((*message)[FamilyIndex]);
    const QList<const SettingTable::Setting *> rows = SettingTable::reportRows(SettingTable::Report::Config);
    QStringList heldLines;
    for (int i = 0; i < rows.size(); ++i) {
        const SettingTable::Setting &row = *rows[i];
        const quint8 code = row.read(bytes);
        cfg->setValue(row, code);
        const SettingTable::GroupLog log = SettingTable::configLog(row.group);
        if (LogSwitch::isOn()) {
            QString line = row.logName + QStringLiteral(" set from Tavik to ") + QString::number(code);
            if (row.kind == SettingTable::Kind::Rate)
                line += QStringLiteral("(") + nameOrUnknown(TavikConfiguration::frequencyName(code));
            else if (row.kind == SettingTable::Kind::Sync)
                line += QStringLiteral("(") + nameOrUnknown(TavikConfiguration::syncName(code));
            line += deviceSuffix(cfg, serialNo);
            if (log.valuesAfter)
                heldLines << line;
            else
                LogSwitch::debug(line);
        }
        if (i + 1 < rows.size() && rows[i + 1]->group == row.group)
            continue;
        if (row.group != SettingTable::Reported && shown.testFlag(row.group)) {
            if (!log.line.isEmpty())
                TAVIK_DEBUG(log.line);
            announceReport(serialNo, row.group);
            emit configurationApplied(serialNo, row.group);
        }
        for (const QString &line : std::exchange(heldLines, {}))
            LogSwitch::debug(line);
    }
}

void MIDI::parseMsgGET_STATUS(MidiMessage *message, qint32 serialNo) {
    if (!isFramedReport(message, GET_STATUS, SettingTable::reportSize(SettingTable::Report::Status),
                        "GET_STATUS"))
        return;
    TavikConfiguration *cfg = configuration(serialNo);
    if (!cfg) {
        LogSwitch::warning(QStringLiteral("early return: GET_STATUS no cfg!"));
        return;
    }
    TAVIK_DEBUG(
        QStringLiteral("GET STATUS cmd: Setting configuration from Tavik to GUI for Tavik serialNo=") +
        QString::number(serialNo));
    // Every value of the report, each within its range.
    for (const SettingTable::Setting &s : SettingTable::rows())
        if (s.report == SettingTable::Report::Status && s.bits > 1)
            cfg->setValue(s, s.read(message->data()));
    // The flags as one byte, the bit no input uses included.
    cfg->setStatusFlags((*message)[size_t(SettingTable::named("input.madi.signal").byte)]);
    announceReport(serialNo, SettingTable::Reported);
    emit statusApplied(serialNo);
}

void MIDI::parseMsgGET_FADERS(MidiMessage *message, qint32 serialNo) {
    if (!message || message->size() != 43 || (*message)[CommandIndex] != GET_FADERS ||
        (*message)[42] != SysExEnd)
        return;
    TavikConfiguration *cfg = configuration(serialNo);
    if (!cfg)
        return;
    TAVIK_DEBUG(QStringLiteral("GET_FADERS cmd: Setting fader values from Tavik to GUI:"));
    if (!_host.hasDeviceView(serialNo))
        return;
    // Sent before the device had the levels still on their way: the record holds newer ones.
    if (const int unacknowledged = cfg->getUnacknowledgedFaderSends()) {
        TAVIK_DEBUG(QStringLiteral("GET_FADERS cmd: not stored, ") + QString::number(unacknowledged) +
                    QStringLiteral(" fader message(s) unacknowledged") + deviceSuffix(cfg, serialNo));
        return;
    }
    for (int i = 0; i < SettingTable::FaderCount; ++i) {
        const quint8 value = SettingTable::at(SettingTable::Faders, i)->read(message->data());
        TAVIK_DEBUG(QStringLiteral("Setting fader #") + QString::number(i) +
                    QStringLiteral(" from Tavik to value ") + QString::number(value) +
                    deviceSuffix(cfg, serialNo));
        cfg->setFaderValue(quint32(i), value);
        announceReport(serialNo, SettingTable::Faders, i, value);
        emit faderApplied(serialNo, i, value);
    }
}

void MIDI::parseMsgACK_FADERS(MidiMessage *, qint32 serialNo) {
    TavikConfiguration *cfg = configuration(serialNo);
    if (!cfg)
        return;
    cfg->setFaderSendPending(false);
    cfg->countFaderAcknowledgement();
    emit acknowledged(serialNo, ACK_FADERS);
    if (cfg->isFaderResendNeeded()) {
        cfg->setFaderResendNeeded(false);
        cfg->countFaderSend();
        sendMsgSET_FADERS(serialNo);
    }
}

void MIDI::parseMsgACK_VALUES(MidiMessage *, qint32 serialNo) {
    if (TavikConfiguration *cfg = configuration(serialNo)) {
        cfg->noteValuesAcknowledged();
        emit acknowledged(serialNo, ACK_VALUES);
    }
}
