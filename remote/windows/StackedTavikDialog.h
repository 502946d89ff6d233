// The working area of the main window: device list, MIDI panel and the stack of device windows.
#pragma once

#include <QWidget>

class MIDIConnectDialog;
class QIcon;
class QListWidget;
class QListWidgetItem;
class QStackedWidget;
class TavikConfigurationDialog;
class WindowHost;

class StackedTavikDialog : public QWidget {
    Q_OBJECT

public:
    StackedTavikDialog(WindowHost &host, QWidget *parent);

    // Adds a device window and its list entry, keeping the list sorted by label.
    void addPage(QWidget *page, QIcon *icon);
    // Removes the window of the device and its list entry; does nothing for an unknown serial number.
    void removePage(qint32 serialNo);

    // Stores the extended-functions switch and applies it to every real device's Settings page.
    void setExtFunctionsEnabled(bool enabled);
    bool isExtFunctionsEnabled() const { return extFunctionsEnabled; }

    QListWidget *getDeviceList() const { return deviceList; }
    QStackedWidget *getPageStack() const { return pageStack; }
    MIDIConnectDialog *getMIDIConnectDialog() const { return midiConnectDialog; }

public slots:
    // Shows the device window whose label equals the text of the selected list entry.
    void changePage(QListWidgetItem *current, QListWidgetItem *previous);

private:
    WindowHost &host;
    QListWidget *deviceList = nullptr;
    QStackedWidget *pageStack = nullptr;
    MIDIConnectDialog *midiConnectDialog = nullptr;
    bool extFunctionsEnabled = false;
};
