// The application object: settings store, logging switch, MIDI link and the registry of known devices.
#pragma once

#include <QApplication>
#include <QMap>
#include <functional>

class MIDI;
class MainDialog;
class QSettings;
class TavikConfiguration;
class TavikConfigurationDialog;

class MyApplication : public QApplication {
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

    MIDI *getMIDI() const { return midi; }
    MainDialog *getMainDialog() const { return mainDialog; }
    void setMainDialog(MainDialog *dialog) { mainDialog = dialog; }
    QSettings *getSettings() const { return settings; }

    // Device registry, keyed by serial number; serial 1 is the placeholder of the empty device window.
    TavikConfiguration *getConfiguration(qint32 serialNo) const;
    void addConfiguration(qint32 serialNo, TavikConfiguration *configuration);
    void removeConfiguration(qint32 serialNo);
    TavikConfigurationDialog *getConfigurationDialog(qint32 serialNo) const;
    void resetResponseTimes();
    void removeSilentDevices();
    void removeAllDevices();
    const QMap<qint32, TavikConfiguration *> &getDevices() const { return devices; }

    // A device that has not answered for longer than this is dropped.
    static constexpr qint64 LivenessLimitMs = 2000;

private:
    void removeDevicePage(qint32 serialNo);

    MIDI *midi = nullptr;
    MainDialog *mainDialog = nullptr;
    QMap<qint32, TavikConfiguration *> devices;
    QSettings *settings = nullptr;
};
