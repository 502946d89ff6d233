// Read-only digital-inputs panel: detected rate, signal and lock of each input of one device.
#pragma once

#include "pages/ValuesPage.h"

class QLabel;
class QPixmap;

class StatusDialog : public ValuesPage {
    Q_OBJECT

public:
    StatusDialog(qint32 serialNo, LinkHost &host, QWidget *parent);
    ~StatusDialog() override;

    // Redraws every existing cell from the device's configuration.
    void updateStatus();

    static constexpr int CellCount = 11;
    // The cell label (null for a cell that the device type does not have).
    QLabel *getCell(int index) const;
    QLabel *getBackground() const { return background; }

private:
    QLabel *cell[CellCount] = {};
    // lampOff, lampOn, then the rate images of codes 0..6: a lamp shows images[LampOff + bit].
    static constexpr int LampOff = 0;
    static constexpr int RateImage = 2;
    QPixmap *images[9] = {};
    QLabel *background = nullptr;
};
