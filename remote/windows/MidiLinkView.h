// The windows' side of a MIDI link: builds and removes device windows, brings the reports the link
// stored onto the pages, and shows the link's messages and the missing-port notice.
#pragma once

#include "model/DeviceRegistry.h"
#include "protocol/MIDI.h"

#include <QObject>
#include <QPointer>

class QComboBox;
class QMessageBox;
class WindowHost;

class MidiLinkView : public QObject {
    Q_OBJECT

public:
    // Draws every change the registry announces, but those of pageOrigin: a page shows its own
    // change already. The device windows are those of the windows host.
    MidiLinkView(MIDI *midi, DeviceRegistry *registry, WindowHost &windows, int pageOrigin,
                 QObject *parent = nullptr);
    ~MidiLinkView() override;

    // Lists the ports as MIDI::enumeratePorts() does and fills the combo boxes (either may be null).
    void enumeratePorts(QComboBox *inCombo, QComboBox *outCombo);
    // The notice that a remembered port is missing (null until it was first needed).
    QMessageBox *portNotice() const;

private:
    void clearPortCombos();
    void addPort(bool input, const QString &name);
    void admitDevice(qint32 serialNo, quint8 family);
    void showChange(const DeviceRegistry::Change &change);
    void showError(const QString &text);
    void showPortNotice(const QString &text);
    void hidePortNotice();

    QPointer<MIDI> _midi;
    QPointer<DeviceRegistry> _registry;
    WindowHost &_windows;
    int _pageOrigin;
    QPointer<QMessageBox> _portNotice;
    // The combo boxes enumeratePorts() fills while it runs.
    QComboBox *_inCombo = nullptr;
    QComboBox *_outCombo = nullptr;
};
