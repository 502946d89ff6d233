// One-line status text of a device window: the edition and the rate the device is locked to.
#pragma once

#include "pages/ValuesPage.h"

#include <QString>

class QLabel;

class InfoDialog : public ValuesPage {
    Q_OBJECT

public:
    InfoDialog(qint32 serialNo, LinkHost &host, QWidget *parent);

    // Rebuilds the text from the device's configuration; unchanged when the device is gone.
    void updateInfo();

    // Text for lockedRate 0..6 ("not locked", "32kHz, locked", ...); "not locked" outside.
    static QString lockedRateName(int lockedRate);

    const QString &getInfoText() const { return infoText; }
    QLabel *getLabel() const { return label; }

private:
    QString infoText;
    QLabel *label = nullptr;
};
