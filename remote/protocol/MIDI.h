// The MIDI link: ports, remembered port numbers, poll and broadcast timers, inbound dispatch,
// commands and fader flow control. It keeps the device records up to date and tells by signals
// what it did, so that windows (when there are any) can show it.
#pragma once

#include "model/SettingTable.h"
#include "protocol/MidiMessage.h"

#include <QObject>
#include <QStringList>
#include <memory>

class DeviceRegistry;
class LinkHost;
class MidiInputPort;
class MidiOutputPort;
class MidiPortFactory;
class PortWatcher;
class QSettings;
class TavikConfiguration;
class QTimer;

class MIDI : public QObject {
    Q_OBJECT

public:
    // The host holds the registry the link keeps up to date and the settings its ports are
    // remembered in; it outlives the link.
    explicit MIDI(LinkHost &host, QObject *parent = nullptr);
    ~MIDI() override;

    // The factory used when the port objects are first created (null restores the RtMidi one).
    static void setPortFactory(std::shared_ptr<MidiPortFactory> factory);

    bool isConnected() const { return _isConnected; }
    // Lists the ports (see inputPortNames() and outputPortNames()) and picks the remembered ones.
    void enumeratePorts();
    void startTimers();
    void stopTimers();
    void closePorts();
    // Stops following the system's port lists, for a program about to end: a disconnect then
    // lists nothing anew (each listing opens fresh MIDI clients).
    void stopWatchingPorts();

    // Inbound dispatch.
    void parseMsg(double stamp, MidiMessage *message);
    void parseMsgGET_VERSION(MidiMessage *message, qint32 serialNo);
    void parseMsgGET_CONFIG(MidiMessage *message, qint32 serialNo);
    void parseMsgGET_STATUS(MidiMessage *message, qint32 serialNo);
    void parseMsgGET_FADERS(MidiMessage *message, qint32 serialNo);
    void parseMsgACK_FADERS(MidiMessage *message, qint32 serialNo);
    void parseMsgACK_VALUES(MidiMessage *message, qint32 serialNo);

    // Outbound commands.
    void sendMsgSEND_VERSION(qint32 serialNo, unsigned char family);
    void sendMsgSEND_INFO(qint32 serialNo);
    void sendMsgSET_VALUES(qint32 serialNo, unsigned char startIndex);
    void sendMsgSET_FADERS(qint32 serialNo);
    void prepMsgFaderValues(MidiMessage *message, qint32 serialNo);

    // Fader flow control after the user moved a fader of the device (its value already stored).
    void sendFadersFlowControlled(qint32 serialNo);
    // An acknowledgement pending longer than this counts as lost.
    static constexpr qint64 FaderAckTimeoutMs = 1000;

    // A stored port number as the settings hold it; anything but a plain integer of -1 or more is -1.
    static int readStoredPortNumber(QSettings *settings, const QString &key);

    MidiInputPort *inputPort() const { return _midiInDevice; }
    MidiOutputPort *outputPort() const { return _midiOutDevice; }

    // Names of the chosen (or remembered) ports; a port is opened by its name when it has one.
    QString getPortNameIn() const { return _portNameIn; }
    QString getPortNameOut() const { return _portNameOut; }
    // The port lists as last listed, which the port numbers refer to.
    QStringList inputPortNames() const { return _inNames; }
    QStringList outputPortNames() const { return _outNames; }
    // Reads the port lists now, as the once-a-second watch does.
    void checkPortLists();

signals:
    // The system's MIDI ports changed; the names are the new lists, in port number order.
    void portListsChanged(const QStringList &in, const QStringList &out);
    // enumeratePorts() starts listing anew, and has listed one port (in port number order).
    void portListingStarted();
    void portListed(bool input, const QString &name);
    // A device answered for the first time: its record is registered and holds its version report.
    void deviceAdmitted(qint32 serialNo, quint8 family);
    // One part of a configuration report of the device is stored in its record.
    void configurationApplied(qint32 serialNo, SettingTable::Group group);
    // A status report of the device is stored in its record.
    void statusApplied(qint32 serialNo);
    // One value of a fader report is stored in the device's record.
    void faderApplied(qint32 serialNo, int faderNo, quint8 value);
    // The device acknowledged a SET_VALUES (command ACK_VALUES) or a SET_FADERS (ACK_FADERS).
    void acknowledged(qint32 serialNo, unsigned char command);
    // Every message read from the input (before it is handled) and every message sent, as they are.
    void messageReceived(const MidiMessage &message);
    void messageSent(const MidiMessage &message);
    // A message for the user, who has to acknowledge it.
    void errorToShow(const QString &text);
    // The notice that a remembered port is missing, with its text; hidden once connected again.
    void portNoticeShown(const QString &text);
    void portNoticeHidden();
    // The link was switched on or off, by the user or by itself (a port or the MIDI server went,
    // a remembered port came back). Connected means: both ports open and the timers running.
    void connectedChanged(bool connected);

public slots:
    void toggleConnectedStatus();
    void setPortNumberIn(int portNum);
    int getPortNumberIn() const { return _portNumberIn; }
    void setPortNumberOut(int portNum);
    int getPortNumberOut() const { return _portNumberOut; }
    void onTimeoutPollForMidiIncomingMsgs();
    void onTimeoutSendInfoBroadcasts();

private:
    // What the host holds (null while it has none).
    DeviceRegistry *registry() const;
    QSettings *settings() const;
    TavikConfiguration *configuration(qint32 serialNo) const;
    // A report's values are in the record: the views hear of it before the link's own listeners.
    void announceReport(qint32 serialNo, SettingTable::Group group, int fader = -1, int code = -1);
    void send(MidiMessage *message);
    // A message that is header, serial number and command only (SEND_VERSION, SEND_INFO).
    void sendCommand(qint32 serialNo, unsigned char family, unsigned char command, const char *name);
    // A message to a device the record knows, up to its command byte, with the device's record;
    // null while the link is off or the device unknown.
    MidiMessage *startDeviceMessage(qint32 serialNo, unsigned char command, TavikConfiguration **cfg);
    void admitDevice(MidiMessage *message, qint32 serialNo);
    void recoverLostFaderAcks();
    static bool faderAckLost(const TavikConfiguration *cfg);
    void failConnect(const QString &libraryText);
    void closeOpenPorts();
    void createPortObjects();
    void replacePortObjects();
    void stopTimersQuietly();
    void showError(const QString &text);
    void disconnectPorts();
    void setConnected(bool connected);
    void portMissing(const QString &name, bool wasConnected);
    void onPortListsChanged(const QStringList &in, const QStringList &out);
    QStringList inputNames();
    QStringList outputNames();

    LinkHost &_host;
    MidiInputPort *_midiInDevice = nullptr;
    MidiOutputPort *_midiOutDevice = nullptr;
    bool _isConnected = false;
    int _portNumberIn = -1;
    int _portNumberOut = -1;
    MidiMessage *_inMessage = nullptr;
    QTimer *_pollTimer = nullptr;
    QTimer *_broadcastTimer = nullptr;
    QString _portNameIn;
    QString _portNameOut;
    // The lists as last listed, which the port numbers refer to.
    QStringList _inNames;
    QStringList _outNames;
    // Set while disconnected because a remembered port is missing: connect when it is back.
    bool _reconnectWhenBack = false;
    // Set until the link is first switched on or off: a MIDI server that starts after the program
    // with exactly one input and one output port is connected to as at start.
    bool _connectToOnlyPorts = true;
    PortWatcher *_portWatcher = nullptr;
};
