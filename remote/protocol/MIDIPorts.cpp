// The MIDI link's ports: the library objects, listing and remembering ports, connecting and
// disconnecting, and following ports that go and come back.
#include "protocol/MIDI.h"

#include "protocol/MIDILinkSupport.h"
#include "protocol/MidiPort.h"
#include "protocol/PortBinding.h"
#include "protocol/PortWatcher.h"
#include "protocol/RevisionInfo.h"
#include "protocol/RtMidiPortFactory.h"

#include <QSettings>
#include <QTimer>
#include <RtMidi.h>

#include <limits>
#include <string>

TAVIK_REVISION("MIDIPorts.cpp");

using namespace MidiLink;

namespace {
std::shared_ptr<MidiPortFactory> &portFactory() {
    static std::shared_ptr<MidiPortFactory> factory;
    return factory;
}

MidiPortFactory &currentFactory() {
    if (!portFactory())
        portFactory() = std::make_shared<RtMidiPortFactory>();
    return *portFactory();
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
    if (!_midiInDevice)
        warnOnError([&] {
            _midiInDevice = currentFactory().createInput("RtMidi Input Client", InputQueueLimit).release();
        });
    if (!_midiOutDevice)
        warnOnError(
            [&] { _midiOutDevice = currentFactory().createOutput("RtMidi Output Client").release(); });
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

void MIDI::enumeratePorts() {
    createPortObjects();
    if (!_midiInDevice)
        LogSwitch::warning(tr("Could not open midiIn device handler, aborting program!"));
    if (!_midiOutDevice)
        LogSwitch::warning(tr("Could not open midiOut device handler, aborting program!"));
    emit portListingStarted();

    // A missing library object has no ports: the program goes on with empty lists. A failed
    // count leaves -1 for its direction and for the output.
    int inCount = -1;
    int outCount = -1;
    warnOnError([&] {
        inCount = _midiInDevice ? int(_midiInDevice->getPortCount()) : 0;
        outCount = _midiOutDevice ? int(_midiOutDevice->getPortCount()) : 0;
    });

    // Lists the ports of one direction; a name that cannot be read stays empty.
    auto listPorts = [this](auto *device, int count, bool input, QStringList &names) {
        names.clear();
        for (int i = 0; i < count; ++i) {
            QString name;
            warnOnError([&] { name = QString::fromStdString(device->getPortName(unsigned(i))); });
            TAVIK_DEBUG(QStringLiteral("Found MIDI ") +
                        (input ? QStringLiteral("IN") : QStringLiteral("OUT")) +
                        QStringLiteral(" port = >>") + name + QStringLiteral("<<, port number #") +
                        QString::number(i) + QStringLiteral("."));
            emit portListed(input, name);
            names << name;
        }
    };
    listPorts(_midiInDevice, inCount, true, _inNames);
    listPorts(_midiOutDevice, outCount, false, _outNames);

    if (inCount == 1)
        setPortNumberIn(0);
    if (outCount == 1)
        setPortNumberOut(0);

    QSettings *store = settings();
    // A remembered number counts only when its port has the remembered name (when there is one);
    // else the port of that name is used wherever it is now.
    QStringList missing;
    auto readStored = [&](const QString &numberKey, const QString &nameKey, const QStringList &names,
                          int &number, QString &name) {
        name = store->value(nameKey).toString();
        number = PortBinding::resolve(names, readStoredPortNumber(store, numberKey), name);
        if (number < 0 && !name.isEmpty())
            missing << name;
    };
    if (_portNumberIn == -1 && store)
        readStored(QStringLiteral("midiInPortnumber"), QStringLiteral("midiInPortname"), _inNames,
                   _portNumberIn, _portNameIn);
    if (_portNumberOut == -1 && store)
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
    emit errorToShow(text);
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
    if (DeviceRegistry *devices = registry())
        devices->removeAllDevices();
    replacePortObjects();
    setConnected(false);
    // The lists held this program's own ports while the link was open; they are gone now, so the
    // port boxes, enabled again, must not offer them.
    if (_portWatcher->isActive())
        _portWatcher->check();
}

void MIDI::setConnected(bool connected) {
    if (_isConnected == connected)
        return;
    _isConnected = connected;
    emit connectedChanged(connected);
}

void MIDI::portMissing(const QString &name, bool wasConnected) {
    // One warning and one notice; the link waits for the port to come back.
    const QString text = tr("MIDI port \"%1\" is not available. Kalvenso Remote connects by itself when it "
                            "is back.")
                             .arg(name);
    LogSwitch::warning(text);
    if (wasConnected) {
        disconnectPorts();
    } else if (_isConnected || _pollTimer->isActive()) {
        stopTimersQuietly();
        replacePortObjects();
        setConnected(false);
    }
    _reconnectWhenBack = true;
    emit portNoticeShown(text);
}

void MIDI::stopWatchingPorts() {
    _portWatcher->stop();
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
    } else if (_connectToOnlyPorts && in.size() == 1 && out.size() == 1) {
        setPortNumberIn(0);
        setPortNumberOut(0);
        TAVIK_DEBUG(QStringLiteral("The system has one MIDI input and one output port now, connecting."));
        toggleConnectedStatus();
    }
    emit portListsChanged(_inNames, _outNames);
}

void MIDI::toggleConnectedStatus() {
    _reconnectWhenBack = false;
    _connectToOnlyPorts = false;
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
    if (QSettings *store = settings()) {
        store->setValue(QStringLiteral("midiInPortnumber"), _portNumberIn);
        store->setValue(QStringLiteral("midiOutPortnumber"), _portNumberOut);
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
    if (DeviceRegistry *devices = registry())
        devices->resetResponseTimes();
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
    setConnected(true);
    if (QSettings *store = settings()) {
        store->setValue(QStringLiteral("midiInPortname"), _portNameIn);
        store->setValue(QStringLiteral("midiOutPortname"), _portNameOut);
    }
    emit portNoticeHidden();
}

void MIDI::failConnect(const QString &libraryText) {
    // A port that cannot be opened leaves the link disconnected: close what was opened and say so.
    LogSwitch::warning(libraryText);
    stopTimersQuietly();
    replacePortObjects();
    setConnected(false);
    showError(tr("Error: Could not open MIDI ports: ") + libraryText);
}

void MIDI::closeOpenPorts() {
    if (_midiInDevice)
        warnOnError([&] { _midiInDevice->closePort(); });
    if (_midiOutDevice)
        warnOnError([&] { _midiOutDevice->closePort(); });
}
