// The window of one device: all of its pages at fixed places.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class AudioLevelsDialog;
class InfoDialog;
class LockDialog;
class LogoDialog;
class RoutingDialog;
class SettingsDialog;
class SMuxDialog;
class StatusDialog;
class TavikConfiguration;
class ValuesPage;
class WindowHost;

class TavikConfigurationDialog : public QWidget {
    Q_OBJECT

public:
    // The pages change and show the device through the host's core.
    TavikConfigurationDialog(TavikConfiguration *configuration, WindowHost &host, QWidget *parent);

    // The text of the device's list entry: empty for the placeholder, otherwise name and code, or code.
    const QString &getLabel() const { return label; }
    // Kept as a copy, so it stays valid after the registry has deleted the record.
    qint32 getSerialNo() const { return serialNo; }
    const char *getSerialCode() const { return serialCode; }

    LogoDialog *getLogoDialog() const { return logoDialog; }
    AudioLevelsDialog *getAudioLevelsDialog() const { return audioLevelsDialog; }
    SMuxDialog *getSMuxDialog() const { return smuxDialog; }
    RoutingDialog *getRoutingDialog() const { return routingDialog; }
    StatusDialog *getStatusDialog() const { return statusDialog; }
    SettingsDialog *getSettingsDialog() const { return settingsDialog; }
    LockDialog *getLockDialog() const { return lockDialog; }
    InfoDialog *getInfoDialog() const { return infoDialog; }
    // The pages that show the record's values, in the order a change is drawn: the settings groups
    // in message order, the faders, then the reported values.
    QList<ValuesPage *> valuesPages() const;

private:
    QString label;
    char serialCode[16] = {};
    LogoDialog *logoDialog = nullptr;
    TavikConfiguration *configuration = nullptr;
    AudioLevelsDialog *audioLevelsDialog = nullptr;
    SMuxDialog *smuxDialog = nullptr;
    RoutingDialog *routingDialog = nullptr;
    StatusDialog *statusDialog = nullptr;
    SettingsDialog *settingsDialog = nullptr;
    LockDialog *lockDialog = nullptr;
    InfoDialog *infoDialog = nullptr;
    qint32 serialNo = 0;
};
