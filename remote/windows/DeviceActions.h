// What the main window offers beyond its panels: a device's snapshot saved, loaded or compared
// (Ctrl+S, Ctrl+O, Ctrl+D) and the MIDI monitor (Ctrl+M), also from a context menu on each device
// list entry, and the sync marks on the entries.
#pragma once

#include "model/DeviceSnapshot.h"
#include "protocol/DeviceControl.h"

#include <QFileDialog>
#include <QObject>
#include <QPointer>

class LinkHost;
class MainDialog;
class MidiMonitorWindow;
class QDialog;
class QMenu;
class SyncMarks;

class DeviceActions : public QObject {
    Q_OBJECT

public:
    DeviceActions(MainDialog *window, LinkHost *host);
    ~DeviceActions() override;

    // The serial number of the device whose window is shown; 0 for the placeholder.
    qint32 shownDevice() const;
    // The serial number of the device of a list entry; 0 for the placeholder.
    qint32 deviceOfRow(int row) const;

    // Each does nothing for serial number 0.
    void saveSnapshot(qint32 serialNo);
    void loadSnapshot(qint32 serialNo);
    void compareWithSnapshot(qint32 serialNo);
    // All devices for serial number 0.
    void openMonitor(qint32 serialNo);

    // The context menu of a device list entry: the three snapshot entries and the monitor.
    QMenu *menuFor(qint32 serialNo);
    SyncMarks *syncMarks() const { return m_syncMarks; }
    MidiMonitorWindow *monitor() const;

    // Settings key of the folder a snapshot was last saved in or loaded from.
    static const char *const kFolderKey;
    // How long a load waits for the device to acknowledge and report back.
    static constexpr int kLoadCheckMs = 3000;

private:
    QString askForFile(QFileDialog::AcceptMode mode, const QString &title, const QString &name);
    // Asks for a snapshot file and reads it; null when none was chosen or, after a message naming
    // the file with notOne and the problems, when it is no valid snapshot.
    std::optional<DeviceSnapshot> openSnapshot(const QString &title, const QString &notOne, QString *path);
    QString deviceText(qint32 serialNo) const;
    int runModal(QDialog &dialog);
    void warn(const QString &title, const QString &text);
    // Says what went wrong when a load was not confirmed.
    void reportLoad(const DeviceControl::Outcome &outcome);
    void showContextMenu(const QPoint &pos);

    MainDialog *m_window;
    LinkHost *m_host;
    SyncMarks *m_syncMarks = nullptr;
    QPointer<MidiMonitorWindow> m_monitor;
    QPointer<QMenu> m_menu;
    DeviceControl *m_control = nullptr;
};
