// The application object: settings store, logging switch, MIDI link and the registry of known devices.
// It is the host of the device core and of the windows: it hands itself to the link and the link's
// view it builds, and is handed to the main window.
#pragma once

#include "model/DeviceRegistry.h"
#include "protocol/LinkHost.h"
#include "windows/WindowHost.h"

#include <QApplication>
#include <functional>

class MIDI;
class MidiLinkView;
class MainDialog;
class QSettings;
class TavikConfiguration;
class TavikConfigurationDialog;

class MyApplication : public QApplication, public LinkHost, public WindowHost {
    Q_OBJECT

public:
    MyApplication(int &argc, char **argv);
    ~MyApplication() override;

    // The single instance (null before construction or when the running application is another type).
    static MyApplication *instance();

    static bool isDebugEnabled();
    // Sets the debug switch when an argument equals "--debug" exactly, then writes the switch warnings.
    static void scanCommandLine(int argc, char **argv);
    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text);

    // Loads the three custom fonts from the resource folder; warn is called at most once per call.
    static void loadCustomFonts(const QString &folder, const std::function<void(const QString &)> &warn);
    // Applies the style sheet at path to the application, with the warnings for a missing or empty file.
    static void loadStyleSheet(const QString &path);
    static void reportVersions();

    LinkHost &getLinkHost() override { return *this; }
    MIDI *getMIDI() const override { return midi; }
    DeviceControl *getDeviceControl() const override { return pageControl; }
    // The windows' side of the link: device windows, messages and the missing-port notice.
    MidiLinkView *getMIDIView() const override { return midiView; }
    MainDialog *getMainDialog() const override { return mainDialog; }
    void setMainDialog(MainDialog *dialog) override { mainDialog = dialog; }
    QSettings *getSettings() const override { return settings; }
    DeviceRegistry *getRegistry() const override { return registry; }
    bool hasDeviceView(qint32 serialNo) const override { return getConfigurationDialog(serialNo) != nullptr; }

    // Device registry, keyed by serial number; serial 1 is the placeholder of the empty device window.
    // getConfiguration() comes from LinkHost.
    void addConfiguration(qint32 serialNo, TavikConfiguration *configuration) {
        registry->addConfiguration(serialNo, configuration);
    }
    void removeConfiguration(qint32 serialNo) { registry->removeConfiguration(serialNo); }
    TavikConfigurationDialog *getConfigurationDialog(qint32 serialNo) const override;
    void resetResponseTimes() { registry->resetResponseTimes(); }
    void removeSilentDevices() { registry->removeSilentDevices(); }
    void removeAllDevices() { registry->removeAllDevices(); }
    const QMap<qint32, TavikConfiguration *> &getDevices() const { return registry->getDevices(); }

    // A device that has not answered for longer than this is dropped.
    static constexpr qint64 LivenessLimitMs = DeviceRegistry::LivenessLimitMs;

private:
    void removeDevicePage(qint32 serialNo);

    MIDI *midi = nullptr;
    DeviceControl *pageControl = nullptr;
    MidiLinkView *midiView = nullptr;
    MainDialog *mainDialog = nullptr;
    DeviceRegistry *registry = nullptr;
    QSettings *settings = nullptr;
};
