// One-line status text of a device window: the edition and the rate the device is locked to.
#pragma once

#include "pages/ValuesPage.h"

#include <QString>
#include <QWidget>

class LinkHost;
class QLabel;

class InfoDialog : public QWidget, public ValuesPage {
    Q_OBJECT

public:
    InfoDialog(qint32 serialNo, LinkHost &host, QWidget *parent);
    SettingTable::Groups shownGroups() const override { return SettingTable::Reported; }
    void showChange(const DeviceRegistry::Change &change) override;

    // Rebuilds the text from the device's configuration; unchanged when the device is gone.
    void updateInfo();

    // Text for lockedRate 0..6 ("not locked", "32kHz, locked", ...); "not locked" outside.
    static QString lockedRateName(int lockedRate);

    const QString &getInfoText() const { return infoText; }
    QLabel *getLabel() const { return label; }

private:
    qint32 serialNo;
    LinkHost &host;
    QString infoText;
    QLabel *label = nullptr;
};
