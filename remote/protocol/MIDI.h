// The MIDI link: ports, remembered port numbers, poll and broadcast timers, inbound dispatch, commands.
#pragma once

#include "MidiMessage.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>

class MidiInputPort;
class MidiOutputPort;
class MidiPortFactory;
class PortWatcher;
class QComboBox;
class QMessageBox;
class QSettings;
class TavikConfiguration;
class QTimer;

class MIDI : public QObject {
    Q_OBJECT

public:
    explicit MIDI(QObject *parent = nullptr);
    ~MIDI() override;

    // The factory used when the port objects are first created (null restores the RtMidi one).
    static void setPortFactory(std::shared_ptr<MidiPortFactory> factory);

    bool isConnected() const { return _isConnected; }
    void enumeratePorts(QComboBox *inCombo, QComboBox *outCombo);
    void startTimers();
    void stopTimers();
    void closePorts();

    // Inbound dispatch.
    void parseMsg(double stamp, MidiMessage *message);
    void parseMsgGET_VERSION(MidiMessage *message, qint32 serialNo);
    void parseMsgGET_CONFIG(MidiMessage *message, qint32 serialNo);
    void parseMsgGET_STATUS(MidiMessage *message, qint32 serialNo);
    void parseMsgGET_FADERS(MidiMessage *message, qint32 serialNo);
    void parseMsgACK_FADERS(MidiMessage *message, qint32 serialNo);

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
    // The notice that a remembered port is missing (null until it was first needed).
    QMessageBox *portNotice() const;
    // Reads the port lists now, as the once-a-second watch does.
    void checkPortLists();

signals:
    // The system's MIDI ports changed; the names are the new lists, in port number order.
    void portListsChanged(const QStringList &in, const QStringList &out);

public slots:
    void toggleConnectedStatus();
    void setPortNumberIn(int portNum);
    int getPortNumberIn() const { return _portNumberIn; }
    void setPortNumberOut(int portNum);
    int getPortNumberOut() const { return _portNumberOut; }
    void onTimeoutPollForMidiIncomingMsgs();
    void onTimeoutSendInfoBroadcasts();

private:
    void send(MidiMessage *message);
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
    void portMissing(const QString &name, bool wasConnected);
    void onPortListsChanged(const QStringList &in, const QStringList &out);
    QStringList inputNames();
    QStringList outputNames();

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
    PortWatcher *_portWatcher = nullptr;
    QPointer<QMessageBox> _portNotice;
};
