// The MIDI link's life: construction, the poll and broadcast timers, and closing down.
// Ports and connection are in MIDIPorts.cpp, inbound dispatch in MIDIDispatch.cpp, outbound
// commands in MIDICommands.cpp and fader flow control in MIDIFaderFlow.cpp.
#include "protocol/MIDI.h"

#include "protocol/MIDILinkSupport.h"
#include "protocol/MidiCodec.h"
#include "protocol/MidiPort.h"
#include "protocol/PortWatcher.h"
#include "protocol/RevisionInfo.h"

#include <QTimer>

TAVIK_REVISION("MIDI.cpp");

using namespace MidiLink;

namespace {
constexpr int PollIntervalMs = 50;
constexpr int BroadcastIntervalMs = 900;
// Messages handled in one poll tick at most; the rest wait for the next tick, so a flood
// cannot hold the GUI thread for ever.
constexpr int MaxMessagesPerTick = 4 * MidiLink::InputQueueLimit;
} // namespace

MIDI::MIDI(LinkHost &host, QObject *parent) : QObject(parent), _host(host) {
    _inMessage = new MidiMessage;
    _inMessage->reserve(1024);
    _pollTimer = new QTimer(this);
    _broadcastTimer = new QTimer(this);
    _portWatcher = new PortWatcher(
        [this] {
            // A library object of a stopped server goes on listing its old ports: fresh ones list
            // what the server that runs now (if any) has.
            if ((_midiInDevice && _midiInDevice->serverGone()) ||
                (_midiOutDevice && _midiOutDevice->serverGone())) {
                TAVIK_DEBUG(QStringLiteral("The MIDI server has stopped, creating the port objects anew."));
                // The ports in use went with the server: the link is off until they are back,
                // also when a new server lists ports of the same names.
                if (_isConnected)
                    portMissing(_portNameIn, true);
                else
                    replacePortObjects();
            }
            return PortWatcher::Lists{inputNames(), outputNames()};
        },
        this);
    connect(_portWatcher, &PortWatcher::changed, this, &MIDI::onPortListsChanged);
}

MIDI::~MIDI() {
    closePorts();
}

DeviceRegistry *MIDI::registry() const {
    return _host.getRegistry();
}

QSettings *MIDI::settings() const {
    return _host.getSettings();
}

TavikConfiguration *MIDI::configuration(qint32 serialNo) const {
    return _host.getConfiguration(serialNo);
}

void MIDI::startTimers() {
    TAVIK_DEBUG(QStringLiteral("Starting QTimer objects and connecting signals/slots."));
    connect(_pollTimer, &QTimer::timeout, this, &MIDI::onTimeoutPollForMidiIncomingMsgs,
            Qt::UniqueConnection);
    _pollTimer->setSingleShot(false);
    _pollTimer->start(PollIntervalMs);
    connect(_broadcastTimer, &QTimer::timeout, this, &MIDI::onTimeoutSendInfoBroadcasts,
            Qt::UniqueConnection);
    _broadcastTimer->setSingleShot(false);
    _broadcastTimer->start(BroadcastIntervalMs);
}

void MIDI::stopTimers() {
    TAVIK_DEBUG(QStringLiteral("Stopping QTimer objects and disconnecting signals/slots."));
    stopTimersQuietly();
}

void MIDI::stopTimersQuietly() {
    _pollTimer->stop();
    disconnect(_pollTimer, &QTimer::timeout, this, &MIDI::onTimeoutPollForMidiIncomingMsgs);
    _broadcastTimer->stop();
    disconnect(_broadcastTimer, &QTimer::timeout, this, &MIDI::onTimeoutSendInfoBroadcasts);
}

void MIDI::closePorts() {
    _portWatcher->stop();
    // The objects are deleted even when closing raised an error, so nothing is leaked.
    if (_midiInDevice) {
        warnOnError([&] { _midiInDevice->closePort(); });
        delete _midiInDevice;
        _midiInDevice = nullptr;
    }
    if (_midiOutDevice) {
        warnOnError([&] { _midiOutDevice->closePort(); });
        delete _midiOutDevice;
        _midiOutDevice = nullptr;
    }
    delete _inMessage;
    _inMessage = nullptr;
    _isConnected = false;
}

void MIDI::onTimeoutPollForMidiIncomingMsgs() {
    if (!_midiInDevice) {
        LogSwitch::warning(QStringLiteral("Fatal error: _midiInDevice is not initialized!!"));
        return;
    }
    for (int handled = 0; handled < MaxMessagesPerTick && _inMessage; ++handled) {
        _inMessage->clear();
        double stamp = 0.0;
        if (!warnOnError([&] { stamp = _midiInDevice->getMessage(_inMessage); }))
            break;
        if (_inMessage->empty())
            break;
        emit messageReceived(*_inMessage);
        parseMsg(stamp, _inMessage);
        if (!_isConnected)
            return;
    }
    recoverLostFaderAcks();
    if (DeviceRegistry *devices = registry())
        devices->removeSilentDevices();
}

void MIDI::onTimeoutSendInfoBroadcasts() {
    sendMsgSEND_VERSION(0, TavikSysEx::FamilyNeo);
    // The broadcast leaves together with a poll tick; one extra poll halfway to the next tick
    // handles the replies about 25 ms after they arrive instead of 50.
    if (_isConnected)
        QTimer::singleShot(PollIntervalMs / 2, this, [this] {
            if (_isConnected)
                onTimeoutPollForMidiIncomingMsgs();
        });
}
