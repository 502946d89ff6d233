// The panel below the device list where the MIDI ports are chosen and the link is switched on and off.
#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class RowHeightDelegate;
class WindowHost;

class MIDIConnectDialog : public QWidget {
    Q_OBJECT

public:
    MIDIConnectDialog(WindowHost &host, QWidget *parent);
    ~MIDIConnectDialog() override;

    // Selects the remembered ports and connects when both are usable; called once after start-up.
    void jumpStart();

    QComboBox *getInPortCombo() const { return inPortCombo; }
    QComboBox *getOutPortCombo() const { return outPortCombo; }
    QPushButton *getConnectButton() const { return connectButton; }

public slots:
    // Shows "Disconnect!" and locks the lists while connected, "Connect!" with usable lists otherwise.
    void updateButtonText();
    // Fills the port lists anew after the system's ports changed, keeping each selected port by name.
    void refillPorts(const QStringList &in, const QStringList &out);

private:
    WindowHost &host;
    QComboBox *inPortCombo = nullptr;
    QComboBox *outPortCombo = nullptr;
    QPushButton *connectButton = nullptr;
    QLabel *background = nullptr;
    // Combo boxes do not take ownership of their delegates.
    RowHeightDelegate *inDelegate = nullptr;
    RowHeightDelegate *outDelegate = nullptr;
};
