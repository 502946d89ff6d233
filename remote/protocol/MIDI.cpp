#include "MIDI.h"

#include "DeviceClock.h"
#include "LogSwitch.h"
#include "MidiCodec.h"
#include "MidiPort.h"
#include "MyApplication.h"
#include "PortBinding.h"
#include "PortWatcher.h"
#include "RevisionInfo.h"
#include "RtMidiPortFactory.h"
#include "TavikConfiguration.h"

#include "AudioLevelsDialog.h"
#include "InfoDialog.h"
#include "LockDialog.h"
#include "MainDialog.h"
#include "RoutingDialog.h"
#include "SMuxDialog.h"
#include "SettingsDialog.h"
#include "StackedTavikDialog.h"
#include "StatusDialog.h"
#include "TavikConfigurationDialog.h"
#include "TavikFader.h"

#include <QComboBox>
#include <QIcon>
#include <QMessageBox>
#include <QSettings>
#include <QStackedWidget>
#include <QTimer>
#include <RtMidi.h>

#include <exception>
#include <limits>
#include <memory>
#include <string>

TAVIK_REVISION("MIDI.cpp");

using namespace TavikSysEx;

namespace {
constexpr int PollIntervalMs = 50;
constexpr int BroadcastIntervalMs = 900;
constexpr unsigned int InputQueueLimit = 100;
// Messages handled in one poll tick at most; the rest wait for the next tick, so a flood
// cannot hold the GUI thread for ever.
constexpr int MaxMessagesPerTick = 4 * InputQueueLimit;

std::shared_ptr<MidiPortFactory> &portFactory() {
    static std::shared_ptr<MidiPortFactory> factory;
    return factory;
}

MidiPortFactory &currentFactory() {
    if (!portFactory())
        portFactory() = std::make_shared<RtMidiPortFactory>();
    return *portFactory();
}

QString errorText(const std::exception &e) {
    return QString::fromLocal8Bit(e.what());
}

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

MyApplication *app() {
    return MyApplication::instance();
}

// The names of all ports of one library object; an unreadable name stays empty, a failed count
// gives an empty list.
template <typename Port> QStringList portNames(Port *device) {
    QStringList names;
    if (!device)
        return names;
    try {
        const unsigned int count = device->getPortCount();
        for (unsigned int i = 0; i < count; ++i) {
            try {
                names << QString::fromStdString(device->getPortName(i));
            } catch (const std::exception &) {
                names << QString();
            }
        }
    } catch (const std::exception &) {
    }
    return names;
}
} // namespace

MIDI::MIDI(QObject *parent) : QObject(parent) {
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
                replacePortObjects();
            }
            return PortWatcher::Lists{inputNames(), outputNames()};
        },
        this);
    connect(_portWatcher, &PortWatcher::changed, this, &MIDI::onPortListsChanged);
}

MIDI::~MIDI() {
    delete _portNotice;
    closePorts();
}

void MIDI::setPortFactory(std::shared_ptr<MidiPortFactory> factory) {
    portFactory() = std::move(factory);
}

void MIDI::setPortNumberIn(int portNum) {
    _portNumberIn = portNum;
    _portNameIn = _inNames.value(portNum);
    TAVIK_DEBUG(QStringLiteral("MIDI-IN port number set to ") + QString::number(portNum) +
                QStringLiteral("<<."));
}

void MIDI::setPortNumberOut(int portNum) {
    _portNumberOut = portNum;
    _portNameOut = _outNames.value(portNum);
    TAVIK_DEBUG(QStringLiteral("MIDI-OUT port number set to ") + QString::number(portNum) +
                QStringLiteral("."));
}

void MIDI::createPortObjects() {
    if (!_midiInDevice) {
        try {
            _midiInDevice = currentFactory().createInput("RtMidi Input Client", InputQueueLimit).release();
        } catch (const std::exception &e) {
            LogSwitch::warning(errorText(e));
        }
    }
    if (!_midiOutDevice) {
        try {
            _midiOutDevice = currentFactory().createOutput("RtMidi Output Client").release();
        } catch (const std::exception &e) {
            LogSwitch::warning(errorText(e));
        }
    }
}

void MIDI::replacePortObjects() {
    // After a failed open or a disconnect the library objects may belong to a MIDI server that
    // has gone (a restarted JACK server); fresh ones connect to the server that runs now.
    closeOpenPorts();
    delete _midiInDevice;
    _midiInDevice = nullptr;
    delete _midiOutDevice;
    _midiOutDevice = nullptr;
    createPortObjects();
}

void MIDI::enumeratePorts(QComboBox *inCombo, QComboBox *outCombo) {
    createPortObjects();
    if (!_midiInDevice)
        LogSwitch::warning(tr("Could not open midiIn device handler, aborting program!"));
    if (!_midiOutDevice)
        LogSwitch::warning(tr("Could not open midiOut device handler, aborting program!"));

    if (inCombo)
        inCombo->clear();
    if (outCombo)
        outCombo->clear();

    // A missing library object has no ports: the program goes on with empty lists.
    int inCount = 0;
    int outCount = 0;
    try {
        inCount = -1;
        inCount = _midiInDevice ? int(_midiInDevice->getPortCount()) : 0;
        outCount = _midiOutDevice ? int(_midiOutDevice->getPortCount()) : 0;
    } catch (const std::exception &e) {
        LogSwitch::warning(errorText(e));
        outCount = -1;
    }

    // Lists the ports of one direction into its combo box; a name that cannot be read stays empty.
    auto listPorts = [](auto *device, int count, QComboBox *combo, const QString &direction,
                        QStringList &names) {
        names.clear();
        for (int i = 0; i < count; ++i) {
            QString name;
            try {
                name = QString::fromStdString(device->getPortName(unsigned(i)));
            } catch (const std::exception &e) {
                LogSwitch::warning(errorText(e));
            }
            TAVIK_DEBUG(QStringLiteral("Found MIDI ") + direction + QStringLiteral(" port = >>") + name +
                        QStringLiteral("<<, port number #") + QString::number(i) + QStringLiteral("."));
            if (combo)
                combo->addItem(name);
            names << name;
        }
    };
    listPorts(_midiInDevice, inCount, inCombo, QStringLiteral("IN"), _inNames);
    listPorts(_midiOutDevice, outCount, outCombo, QStringLiteral("OUT"), _outNames);

    if (inCount == 1)
        setPortNumberIn(0);
    if (outCount == 1)
        setPortNumberOut(0);

    QSettings *settings = app() ? app()->getSettings() : nullptr;
    // A remembered number counts only when its port has the remembered name (when there is one);
    // else the port of that name is used wherever it is now.
    QStringList missing;
    auto readStored = [&](const QString &numberKey, const QString &nameKey, const QStringList &names,
                          int &number, QString &name) {
        name = settings->value(nameKey).toString();
        number = PortBinding::resolve(names, readStoredPortNumber(settings, numberKey), name);
        if (number < 0 && !name.isEmpty())
            missing << name;
    };
    if (_portNumberIn == -1 && settings)
        readStored(QStringLiteral("midiInPortnumber"), QStringLiteral("midiInPortname"), _inNames,
                   _portNumberIn, _portNameIn);
    if (_portNumberOut == -1 && settings)
        readStored(QStringLiteral("midiOutPortnumber"), QStringLiteral("midiOutPortname"), _outNames,
                   _portNumberOut, _portNameOut);

    if (_portNumberIn >= inCount || _portNumberOut >= outCount) {
        _portNumberIn = -1;
        _portNumberOut = -1;
    }
    if (!missing.isEmpty() && !_isConnected)
        portMissing(missing.first(), false);
    _portWatcher->start(PortWatcher::Lists{_inNames, _outNames});
    TAVIK_DEBUG(QStringLiteral("Done reading in midiOut ports."));
}

int MIDI::readStoredPortNumber(QSettings *settings, const QString &key) {
    // Anything but a plain integer (text, a number beyond int) counts as no stored port.
    bool ok = false;
    const qlonglong value = settings->value(key, -1).toLongLong(&ok);
    if (!ok || value < -1 || value > std::numeric_limits<int>::max())
        return -1;
    return int(value);
}

void MIDI::showError(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
    box.exec();
}

QStringList MIDI::inputNames() {
    return portNames(_midiInDevice);
}

QStringList MIDI::outputNames() {
    return portNames(_midiOutDevice);
}

void MIDI::disconnectPorts() {
    TAVIK_DEBUG(QStringLiteral("Disconnecting from MIDI IN/OUT ports..."));
    stopTimers();
    TAVIK_DEBUG(QStringLiteral("Closing MIDI IN/OUT ports."));
    if (app())
        app()->removeAllDevices();
    replacePortObjects();
    _isConnected = false;
}

void MIDI::portMissing(const QString &name, bool wasConnected) {
    // One warning and one notice (a single box, reused); the link waits for the port to come back.
    const QString text = tr("MIDI port \"%1\" is not available. Kalvenso Remote connects by itself when it "
                            "is back.")
                             .arg(name);
    LogSwitch::warning(text);
    if (wasConnected) {
        disconnectPorts();
    } else if (_isConnected || _pollTimer->isActive()) {
        stopTimersQuietly();
        replacePortObjects();
        _isConnected = false;
    }
    _reconnectWhenBack = true;
    if (!_portNotice) {
        _portNotice = new QMessageBox(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
        _portNotice->setObjectName(QStringLiteral("portNoticeBox"));
        _portNotice->setWindowModality(Qt::NonModal);
    }
    _portNotice->setText(text);
    _portNotice->show();
    // At start-up the main window is shown after this: raise the notice above it then.
    QTimer::singleShot(0, _portNotice, [box = _portNotice] {
        box->raise();
        box->repaint();
    });
}

QMessageBox *MIDI::portNotice() const {
    return _portNotice;
}

void MIDI::checkPortLists() {
    _portWatcher->check();
}

void MIDI::onPortListsChanged(const QStringList &in, const QStringList &out) {
    TAVIK_DEBUG(QStringLiteral("The MIDI port lists have changed."));
    _inNames = in;
    _outNames = out;
    if (_isConnected) {
        // A port in use that is gone: disconnect as the button does and wait for it.
        const QString gone = !in.contains(_portNameIn)     ? _portNameIn
                             : !out.contains(_portNameOut) ? _portNameOut
                                                           : QString();
        if (!gone.isEmpty())
            portMissing(gone, true);
    } else if (_reconnectWhenBack && in.contains(_portNameIn) && out.contains(_portNameOut)) {
        setPortNumberIn(PortBinding::resolve(in, _portNumberIn, _portNameIn));
        setPortNumberOut(PortBinding::resolve(out, _portNumberOut, _portNameOut));
        TAVIK_DEBUG(QStringLiteral("The remembered MIDI ports are back, connecting."));
        toggleConnectedStatus();
    }
    emit portListsChanged(_inNames, _outNames);
}

void MIDI::toggleConnectedStatus() {
    _reconnectWhenBack = false;
    if (_isConnected) {
        disconnectPorts();
        return;
    }

    TAVIK_DEBUG(QStringLiteral("Connecting to MIDI IN/OUT ports..."));
    if (_portNumberIn < 0) {
        const QString text = tr("Error: Please select MIDI-IN port first!");
        showError(text);
        LogSwitch::warning(text);
        return;
    }
    if (_portNumberOut < 0) {
        const QString text = tr("Error: Please select MIDI-OUT port first!");
        showError(text);
        LogSwitch::warning(text);
        return;
    }
    if (app() && app()->getSettings()) {
        app()->getSettings()->setValue(QStringLiteral("midiInPortnumber"), _portNumberIn);
        app()->getSettings()->setValue(QStringLiteral("midiOutPortnumber"), _portNumberOut);
    }

    TAVIK_DEBUG(QStringLiteral("Opening MIDI-IN port number ") + QString::number(_portNumberIn) +
                QStringLiteral("."));
    try {
        if (!_midiInDevice)
            throw RtMidiError("no MIDI input handler");
        // The port is opened by its name in this object's list as it is now.
        const QStringList names = inputNames();
        const int index = PortBinding::resolve(names, _portNumberIn, _portNameIn);
        if (index < 0) {
            portMissing(_portNameIn, false);
            return;
        }
        // Some MIDI systems open an unconnected port for a number that no longer exists.
        if (unsigned(index) >= _midiInDevice->getPortCount())
            throw RtMidiError("MIDI-IN port number " + std::to_string(_portNumberIn) + " is not available.");
        _midiInDevice->openPort(unsigned(index), "RtMidi Input");
        _midiInDevice->ignoreTypes(false, false, false);
        _portNameIn = names.value(index);
    } catch (const std::exception &e) {
        failConnect(errorText(e));
        return;
    }
    if (app())
        app()->resetResponseTimes();
    startTimers();

    TAVIK_DEBUG(QStringLiteral("Opening MIDI-OUT port number ") + QString::number(_portNumberOut) +
                QStringLiteral("."));
    try {
        if (!_midiOutDevice)
            throw RtMidiError("no MIDI output handler");
        // Looked up again: the list now holds this program's own input port, so numbers may have moved.
        const QStringList names = outputNames();
        const int index = PortBinding::resolve(names, _portNumberOut, _portNameOut);
        if (index < 0) {
            portMissing(_portNameOut, false);
            return;
        }
        if (unsigned(index) >= _midiOutDevice->getPortCount())
            throw RtMidiError("MIDI-OUT port number " + std::to_string(_portNumberOut) +
                              " is not available.");
        _midiOutDevice->openPort(unsigned(index), "RtMidi Output");
        _portNameOut = names.value(index);
    } catch (const std::exception &e) {
        failConnect(errorText(e));
        return;
    }
    _isConnected = true;
    if (app() && app()->getSettings()) {
        app()->getSettings()->setValue(QStringLiteral("midiInPortname"), _portNameIn);
        app()->getSettings()->setValue(QStringLiteral("midiOutPortname"), _portNameOut);
    }
    if (_portNotice)
        _portNotice->hide();
}

void MIDI::failConnect(const QString &libraryText) {
    // A port that cannot be opened leaves the link disconnected: close what was opened and say so.
    LogSwitch::warning(libraryText);
    stopTimersQuietly();
    replacePortObjects();
    _isConnected = false;
    showError(tr("Error: Could not open MIDI ports: ") + libraryText);
}

void MIDI::closeOpenPorts() {
    if (_midiInDevice) {
        try {
            _midiInDevice->closePort();
        } catch (const std::exception &e) {
            LogSwitch::warning(errorText(e));
        }
    }
    if (_midiOutDevice) {
        try {
            _midiOutDevice->closePort();
        } catch (const std::exception &e) {
            LogSwitch::warning(errorText(e));
        }
    }
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
        try {
            _midiInDevice->closePort();
        } catch (const std::exception &e) {
            LogSwitch::warning(errorText(e));
        }
        delete _midiInDevice;
        _midiInDevice = nullptr;
    }
    if (_midiOutDevice) {
        try {
            _midiOutDevice->closePort();
        } catch (const std::exception &e) {
            LogSwitch::warning(errorText(e));
        }
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
        try {
            stamp = _midiInDevice->getMessage(_inMessage);
        } catch (const std::exception &e) {
            LogSwitch::warning(errorText(e));
            break;
        }
        if (_inMessage->empty())
            break;
        parseMsg(stamp, _inMessage);
        if (!_isConnected)
            return;
    }
    recoverLostFaderAcks();
    if (app())
        app()->removeSilentDevices();
}

void MIDI::onTimeoutSendInfoBroadcasts() {
    sendMsgSEND_VERSION(0, FamilyNeo);
    // The broadcast leaves together with a poll tick; one extra poll halfway to the next tick
    // handles the replies about 25 ms after they arrive instead of 50.
    if (_isConnected)
        QTimer::singleShot(PollIntervalMs / 2, this, [this] {
            if (_isConnected)
                onTimeoutPollForMidiIncomingMsgs();
        });
}

// ---------------------------------------------------------------------------------------------
// Inbound dispatch

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
        MyApplication *application = app();
        TavikConfiguration *cfg = application ? application->getConfiguration(serialNo) : nullptr;
        if (cfg) {
            const QDateTime now = DeviceClock::now();
            cfg->setLastResponseTime(now);
            TAVIK_DEBUG(QStringLiteral("Setting last response time for device ") + QString::number(serialNo) +
                        QStringLiteral(" to ") + QString::number(now.toMSecsSinceEpoch()));
        } else if (serialNo > 0 && application) {
            admitDevice(message, serialNo);
        }
    }

    switch (command) {
    case SEND_VERSION:
    case SET_VALUES:
    case SET_FADERS:
    case PICTURE_CHUNK:
    case 0x04:
    case SEND_INFO:
    case GET_VERSION:
        break;
    case ACK_VALUES:
        TAVIK_DEBUG(QStringLiteral("Found ACK VALUES command."));
        break;
    case ACK_FADERS:
        TAVIK_DEBUG(QStringLiteral("Found ACK FADERS command."));
        parseMsgACK_FADERS(message, serialNo);
        break;
    case ACK_PIC:
        TAVIK_DEBUG(QStringLiteral("Found ACK PIC command."));
        break;
    case ACK_UPDATE:
        TAVIK_DEBUG(QStringLiteral("Found ACK UPDATE command."));
        break;
    case ACK_INFO:
        TAVIK_DEBUG(QStringLiteral("Found ACK INFO command."));
        break;
    case GET_CONFIG:
        TAVIK_DEBUG(QStringLiteral("Found GET CONFIG command."));
        parseMsgGET_CONFIG(message, serialNo);
        break;
    case GET_STATUS:
        TAVIK_DEBUG(QStringLiteral("Found GET STATUS command."));
        parseMsgGET_STATUS(message, serialNo);
        break;
    case GET_FADERS:
        TAVIK_DEBUG(QStringLiteral("Found GET FADERS command."));
        parseMsgGET_FADERS(message, serialNo);
        break;
    default:
        TAVIK_DEBUG(QStringLiteral(
                        "Possible problem: Unknown vendor-specific command found in last message: cmd = ") +
                    MidiCodec::hexText(command));
        break;
    }

    TAVIK_DEBUG(QStringLiteral("**** Done parsing current MIDI-message ***"));
    TAVIK_DEBUG(QStringLiteral("******************************************"));
}

void MIDI::admitDevice(MidiMessage *message, qint32 serialNo) {
    MyApplication *application = app();
    sendMsgSEND_INFO(serialNo);
    const unsigned char byte4 = MidiCodec::readChar8(message, FamilyIndex);
    const quint8 family = (byte4 == FamilyNeo || byte4 == FamilyLux) ? byte4 : 0;
    TAVIK_DEBUG(QStringLiteral("Tavik with sn= ") + QString::number(serialNo) +
                QStringLiteral(", device type = ") + QString::number(family) +
                QStringLiteral(" is new, adding it to collection!"));
    auto *cfg = new TavikConfiguration(serialNo);
    cfg->setDeviceType(family);
    application->addConfiguration(serialNo, cfg);
    parseMsgGET_VERSION(message, serialNo);

    MainDialog *mainDialog = application->getMainDialog();
    StackedTavikDialog *stacked = mainDialog ? mainDialog->getStackedDialog() : nullptr;
    if (!stacked)
        return;
    // Built right inside the page stack, so adding it does not move ~150 styled widgets again.
    auto *dialog = new TavikConfigurationDialog(cfg, stacked->getPageStack());
    QIcon icon(family == FamilyNeo   ? QStringLiteral(":/images/gui/tavik_icon_neo.png")
               : family == FamilyLux ? QStringLiteral(":/images/gui/tavik_icon_lux.png")
                                     : QStringLiteral(":/images/gui/tavik_icon_xxx.png"));
    stacked->addPage(dialog, &icon);
}

void MIDI::parseMsgGET_VERSION(MidiMessage *message, qint32 serialNo) {
    if (!isFramedReport(message, GET_VERSION, 29, "GET_VERSION"))
        return;
    TavikConfiguration *cfg = app() ? app()->getConfiguration(serialNo) : nullptr;
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
    if (message->size() != 21) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG msg wrong size!"));
        return;
    }
    if ((*message)[CommandIndex] != GET_CONFIG) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG has no GET_CONFIG cmd!"));
        return;
    }
    if ((*message)[20] != SysExEnd) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG has no sysex-end!"));
        return;
    }
    MyApplication *application = app();
    TavikConfiguration *cfg = application ? application->getConfiguration(serialNo) : nullptr;
    if (!cfg) {
        if (LogSwitch::isOn())
            LogSwitch::warning(QStringLiteral("early return: GET_CONFIG no tavikcfg!"));
        return;
    }
    TAVIK_DEBUG(
        QStringLiteral("GET CONFIG cmd: Setting configuration from Tavik to GUI for Tavik serialNo=") +
        QString::number(serialNo));
    TavikConfigurationDialog *dialog = application->getConfigurationDialog(serialNo);
    if (!dialog) {
        LogSwitch::warning(QStringLiteral("early return: GET_CONFIG no cfgDlg!"));
        return;
    }

    const quint8 frequency = MidiCodec::readChar4(message, 10, true);
    cfg->setFrequency(frequency);
    TAVIK_DEBUG(QStringLiteral("Frequency set from Tavik to ") + QString::number(frequency) +
                QStringLiteral("(") + nameOrUnknown(TavikConfiguration::frequencyName(frequency)) +
                deviceSuffix(cfg, serialNo));

    const quint8 sync = MidiCodec::readChar4(message, 10, false);
    cfg->setSync(sync);
    TAVIK_DEBUG(QStringLiteral("Sync set from Tavik to ") + QString::number(sync) + QStringLiteral("(") +
                nameOrUnknown(TavikConfiguration::syncName(sync)) + deviceSuffix(cfg, serialNo));
    if (SettingsDialog *settings = dialog->getSettingsDialog())
        settings->update(false);

    const quint8 lock = MidiCodec::readChar4(message, 11, true);
    cfg->setLock(lock);
    if (LockDialog *lockDialog = dialog->getLockDialog())
        lockDialog->update(false);
    TAVIK_DEBUG(QStringLiteral("Lock set from Tavik to ") + QString::number(lock) +
                deviceSuffix(cfg, serialNo));

    const quint8 statusScreen = MidiCodec::readChar4(message, 11, false);
    cfg->setStatusScreen(statusScreen);
    TAVIK_DEBUG(QStringLiteral("Status Screen set from Tavik to ") + QString::number(statusScreen) +
                deviceSuffix(cfg, serialNo));

    for (int i = 0; i < 4; ++i) {
        const quint8 value = MidiCodec::readChar4(message, 12 + i / 2, i % 2 == 0);
        cfg->setSMUX(quint8(i), value);
        TAVIK_DEBUG(QStringLiteral("Smux[") + QString::number(i) + QStringLiteral("] set from Tavik to ") +
                    QString::number(value) + deviceSuffix(cfg, serialNo));
    }
    TAVIK_DEBUG(QStringLiteral("GET_CONFIG cmd: Setting SMUX values from Tavik to GUI:"));
    if (SMuxDialog *smux = dialog->getSMuxDialog())
        smux->update(false);

    for (int i = 0; i < 12; ++i) {
        const quint8 value = MidiCodec::readChar4(message, 14 + i / 2, i % 2 == 0);
        cfg->setRouting(quint8(i), value);
        TAVIK_DEBUG(QStringLiteral("Routing[") + QString::number(i) + QStringLiteral("] set from Tavik to ") +
                    QString::number(value) + deviceSuffix(cfg, serialNo));
    }

    if ((*message)[FamilyIndex] == FamilyNeo) {
        TAVIK_DEBUG(QStringLiteral("GET_CONFIG cmd: Setting routing values from Tavik to GUI:"));
        if (RoutingDialog *routing = dialog->getRoutingDialog()) {
            routing->updateRouting32(false);
            routing->updateRouting88(false);
            routing->updateRouting192(false);
        }
    }
}

void MIDI::parseMsgGET_STATUS(MidiMessage *message, qint32 serialNo) {
    if (!isFramedReport(message, GET_STATUS, 15, "GET_STATUS"))
        return;
    MyApplication *application = app();
    TavikConfiguration *cfg = application ? application->getConfiguration(serialNo) : nullptr;
    if (!cfg) {
        LogSwitch::warning(QStringLiteral("early return: GET_STATUS no cfg!"));
        return;
    }
    TAVIK_DEBUG(
        QStringLiteral("GET STATUS cmd: Setting configuration from Tavik to GUI for Tavik serialNo=") +
        QString::number(serialNo));
    cfg->setBncRate(MidiCodec::readChar4(message, 10, true));
    cfg->setMadiRate(MidiCodec::readChar4(message, 10, false));
    cfg->setAdatARate(MidiCodec::readChar4(message, 11, true));
    cfg->setAdatBRate(MidiCodec::readChar4(message, 11, false));
    cfg->setLockedRate(MidiCodec::readChar4(message, 12, true));
    cfg->setStatusNibble(MidiCodec::readChar4(message, 12, false));
    cfg->setStatusFlags(MidiCodec::readChar8(message, 13));

    TavikConfigurationDialog *dialog = application->getConfigurationDialog(serialNo);
    if (!dialog)
        return;
    TAVIK_DEBUG(QStringLiteral("GET_STATUS cmd: Setting status values from Tavik to GUI:"));
    if (StatusDialog *status = dialog->getStatusDialog())
        status->updateStatus();
    if (InfoDialog *info = dialog->getInfoDialog())
        info->updateInfo();
}

void MIDI::parseMsgGET_FADERS(MidiMessage *message, qint32 serialNo) {
    if (!message || message->size() != 43 || (*message)[CommandIndex] != GET_FADERS ||
        (*message)[42] != SysExEnd)
        return;
    MyApplication *application = app();
    TavikConfiguration *cfg = application ? application->getConfiguration(serialNo) : nullptr;
    if (!cfg)
        return;
    TAVIK_DEBUG(QStringLiteral("GET_FADERS cmd: Setting fader values from Tavik to GUI:"));
    TavikConfigurationDialog *dialog = application->getConfigurationDialog(serialNo);
    if (!dialog)
        return;
    AudioLevelsDialog *levels = dialog->getAudioLevelsDialog();
    for (int i = 0; i < 32; ++i) {
        const quint8 value = (*message)[10 + i];
        TAVIK_DEBUG(QStringLiteral("Setting fader #") + QString::number(i) +
                    QStringLiteral(" from Tavik to value ") + QString::number(value) +
                    deviceSuffix(cfg, serialNo));
        cfg->setFaderValue(quint32(i), value);
        if (TavikFader *fader = levels ? levels->getTavikFader(i) : nullptr)
            fader->update(value, false);
    }
}

void MIDI::parseMsgACK_FADERS(MidiMessage *, qint32 serialNo) {
    TavikConfiguration *cfg = app() ? app()->getConfiguration(serialNo) : nullptr;
    if (!cfg)
        return;
    cfg->setFaderSendPending(false);
    if (cfg->isFaderResendNeeded()) {
        cfg->setFaderResendNeeded(false);
        sendMsgSET_FADERS(serialNo);
    }
}

// ---------------------------------------------------------------------------------------------
// Outbound commands

void MIDI::send(MidiMessage *message) {
    std::unique_ptr<MidiMessage> owned(message);
    MidiCodec::printMsg(message, false, -1.0);
    if (!_midiOutDevice)
        return;
    try {
        _midiOutDevice->sendMessage(message);
    } catch (const std::exception &e) {
        LogSwitch::warning(errorText(e));
    }
}

void MIDI::sendMsgSEND_VERSION(qint32 serialNo, unsigned char family) {
    if (!_midiOutDevice || !_isConnected)
        return;
    MidiMessage *message = MidiCodec::prepMsgHeader(family);
    MidiCodec::prepMsgSerialNumber(message, serialNo);
    message->push_back(SEND_VERSION);
    MidiCodec::prepMsgSysExEnd(message);
    TAVIK_DEBUG(QStringLiteral("Sending SEND_VERSION command to serial no. ") + QString::number(serialNo));
    send(message);
}

void MIDI::sendMsgSEND_INFO(qint32 serialNo) {
    if (!_midiOutDevice || !_isConnected)
        return;
    MidiMessage *message = MidiCodec::prepMsgHeader(FamilyNeo);
    MidiCodec::prepMsgSerialNumber(message, serialNo);
    message->push_back(SEND_INFO);
    MidiCodec::prepMsgSysExEnd(message);
    TAVIK_DEBUG(QStringLiteral("Sending SEND_INFO command to serial no. ") + QString::number(serialNo));
    send(message);
}

void MIDI::sendMsgSET_VALUES(qint32 serialNo, unsigned char startIndex) {
    if (!_isConnected || serialNo == 0 || !app())
        return;
    TavikConfiguration *cfg = app()->getConfiguration(serialNo);
    if (!cfg)
        return;
    MidiMessage *message = MidiCodec::prepMsgHeader(cfg->getDeviceType());
    MidiCodec::prepMsgSerialNumber(message, serialNo);
    message->push_back(SET_VALUES);
    message->push_back(startIndex);
    switch (startIndex) {
    case 0:
        message->push_back(cfg->getFrequency());
        message->push_back(cfg->getSync());
        break;
    case 2:
        message->push_back(cfg->getLock());
        break;
    case 16:
        for (quint8 i = 0; i < 4; ++i)
            message->push_back(cfg->getSMUX(i));
        break;
    case 32:
        for (quint8 i = 0; i < 12; ++i)
            message->push_back(cfg->getRouting(i));
        break;
    default:
        TAVIK_DEBUG(QStringLiteral("sendMsgSET_VALUES: unknown start index = ") +
                    QString::number(startIndex));
        break;
    }
    MidiCodec::prepMsgSysExEnd(message);
    TAVIK_DEBUG(QStringLiteral("Sending to MIDI-OUT SET VALUES cmd!"));
    send(message);
}

void MIDI::prepMsgFaderValues(MidiMessage *message, qint32 serialNo) {
    TavikConfiguration *cfg = app() ? app()->getConfiguration(serialNo) : nullptr;
    if (!message || !cfg)
        return;
    message->push_back(0x20);
    for (int i = 0; i < 32; ++i)
        message->push_back(cfg->getFaderValue(i));
}

void MIDI::sendMsgSET_FADERS(qint32 serialNo) {
    if (!_isConnected || serialNo == 0 || !app())
        return;
    TavikConfiguration *cfg = app()->getConfiguration(serialNo);
    if (!cfg)
        return;
    MidiMessage *message = MidiCodec::prepMsgHeader(cfg->getDeviceType());
    MidiCodec::prepMsgSerialNumber(message, serialNo);
    message->push_back(SET_FADERS);
    prepMsgFaderValues(message, serialNo);
    MidiCodec::prepMsgSysExEnd(message);
    send(message);
}

void MIDI::sendFadersFlowControlled(qint32 serialNo) {
    TavikConfiguration *cfg = app() ? app()->getConfiguration(serialNo) : nullptr;
    if (!cfg)
        return;
    if (cfg->isFaderSendPending() && !faderAckLost(cfg)) {
        cfg->setFaderResendNeeded(true);
        return;
    }
    // Nothing unacknowledged, or the acknowledgement is overdue and counts as lost: send now.
    cfg->setFaderResendNeeded(false);
    cfg->setFaderSendPending(true);
    sendMsgSET_FADERS(serialNo);
}

bool MIDI::faderAckLost(const TavikConfiguration *cfg) {
    const qint64 age = cfg->getFaderSendTime().msecsTo(DeviceClock::now());
    return age > FaderAckTimeoutMs;
}

void MIDI::recoverLostFaderAcks() {
    if (!app())
        return;
    for (TavikConfiguration *cfg : app()->getDevices()) {
        if (cfg->getSerialNo() < 2 || !cfg->isFaderSendPending() || !faderAckLost(cfg))
            continue;
        cfg->setFaderResendNeeded(false);
        cfg->setFaderSendPending(true);
        sendMsgSET_FADERS(cfg->getSerialNo());
    }
}
