#include "windows/MIDIConnectDialog.h"

#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"
#include "windows/MidiLinkView.h"
#include "windows/RowHeightDelegate.h"
#include "windows/WindowHost.h"

#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

TAVIK_REVISION("MIDIConnectDialog.cpp");

MIDIConnectDialog::MIDIConnectDialog(WindowHost &host, QWidget *parent) : QWidget(parent), host(host) {
    TAVIK_DEBUG(QStringLiteral("Start of MIDIConnectDialog constructor"));

    background = new QLabel(this);
    background->setPixmap(QPixmap(QStringLiteral(":/images/gui/midiconnect.png")));
    background->move(0, 0);
    background->adjustSize();

    inDelegate = new RowHeightDelegate();
    inPortCombo = new QComboBox(this);
    inPortCombo->setItemDelegate(inDelegate);
    inPortCombo->setGeometry(28, 41, 172, 20);

    outDelegate = new RowHeightDelegate();
    outPortCombo = new QComboBox(this);
    outPortCombo->setItemDelegate(outDelegate);
    outPortCombo->setGeometry(28, 82, 172, 20);

    // Filled before the signals below are connected, so listing the ports sets no port number.
    MIDI *midi = host.getLinkHost().getMIDI();
    if (midi)
        host.getMIDIView()->enumeratePorts(inPortCombo, outPortCombo);

    connectButton = new QPushButton(this);
    connectButton->setGeometry(56, 112, 117, 20);
    connectButton->setIconSize(QSize(117, 20));

    updateButtonText();

    if (midi) {
        connect(connectButton, &QPushButton::clicked, midi, &MIDI::toggleConnectedStatus);
        // Whoever switches the link (the button, a port that goes or comes back, the MIDI server),
        // the panel follows.
        connect(midi, &MIDI::connectedChanged, this, &MIDIConnectDialog::updateButtonText);
        connect(inPortCombo, &QComboBox::currentIndexChanged, midi, &MIDI::setPortNumberIn);
        connect(outPortCombo, &QComboBox::currentIndexChanged, midi, &MIDI::setPortNumberOut);
        connect(midi, &MIDI::portListsChanged, this, &MIDIConnectDialog::refillPorts);
    }
}

MIDIConnectDialog::~MIDIConnectDialog() {
    // The combo boxes keep pointers to the delegates but do not own them: delete the boxes first.
    delete inPortCombo;
    delete outPortCombo;
    delete inDelegate;
    delete outDelegate;
}

void MIDIConnectDialog::jumpStart() {
    MIDI *midi = host.getLinkHost().getMIDI();
    if (!midi)
        return;

    inPortCombo->setCurrentIndex(midi->getPortNumberIn());
    outPortCombo->setCurrentIndex(midi->getPortNumberOut());

    if (midi->getPortNumberIn() >= 0 && midi->getPortNumberOut() >= 0) {
        TAVIK_DEBUG(QStringLiteral(
            "Found usable MIDI port numbers from last program run, jump-starting MIDI-connection!"));
        midi->toggleConnectedStatus();
        updateButtonText();
    }

    TAVIK_DEBUG(QStringLiteral("End of MIDIConnectDialog constructor"));
}

void MIDIConnectDialog::refillPorts(const QStringList &in, const QStringList &out) {
    MIDI *midi = host.getLinkHost().getMIDI();
    if (!midi)
        return;
    // The selection is kept by name; a port that is gone leaves its list without a selection.
    auto refill = [](QComboBox *combo, const QStringList &names, const QString &remembered) {
        const QString selected = combo->currentIndex() >= 0 ? combo->currentText() : remembered;
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItems(names);
        const int index = int(names.indexOf(selected));
        combo->setCurrentIndex(index);
        return index;
    };
    const int inIndex = refill(inPortCombo, in, midi->getPortNameIn());
    const int outIndex = refill(outPortCombo, out, midi->getPortNameOut());
    if (inIndex >= 0 && inIndex != midi->getPortNumberIn())
        midi->setPortNumberIn(inIndex);
    if (outIndex >= 0 && outIndex != midi->getPortNumberOut())
        midi->setPortNumberOut(outIndex);
    updateButtonText();
}

void MIDIConnectDialog::updateButtonText() {
    MIDI *midi = host.getLinkHost().getMIDI();
    const bool connected = midi && midi->isConnected();
    connectButton->setText(connected ? tr("Disconnect!") : tr("Connect!"));
    inPortCombo->setEnabled(!connected);
    outPortCombo->setEnabled(!connected);
}
