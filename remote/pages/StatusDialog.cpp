#include "pages/StatusDialog.h"

#include "model/TavikConfiguration.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QLabel>
#include <QPixmap>

TAVIK_REVISION("StatusDialog.cpp");

namespace {

// Row: the rate the device runs at (lockedRate); column: the input's rate code; entry: rate image shown.
// At double or quad speed an input running at the base frame rate carries the higher rate.
const int displayTable[7][7] = {
    {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5, 6},
    {0, 1, 4, 3, 4, 5, 6}, {0, 1, 4, 5, 4, 5, 6}, {0, 1, 2, 6, 4, 6, 6},
};

const char *const imageNames[9] = {
    ":/images/gui/in_ko.png",  ":/images/gui/in_ok.png",  ":/images/gui/in_ko.png",
    ":/images/gui/in_32.png",  ":/images/gui/in_441.png", ":/images/gui/in_48.png",
    ":/images/gui/in_882.png", ":/images/gui/in_96.png",  ":/images/gui/in_192.png",
};

struct CellPlace {
    int x;
    int y;
};

const CellPlace cellPlaces[StatusDialog::CellCount] = {
    {77, 36}, {128, 36}, {179, 36}, {77, 63},  {128, 63},  {179, 63},
    {77, 90}, {128, 90}, {179, 90}, {77, 117}, {128, 117},
};

int rateColumn(quint8 rate) {
    return rate > 6 ? 0 : rate;
}

} // namespace

StatusDialog::StatusDialog(qint32 serialNo, LinkHost &host, QWidget *parent)
    : ValuesPage(
          serialNo, host, SettingTable::Reported,
          [this](const DeviceRegistry::Change &) {
              TAVIK_DEBUG(QStringLiteral("GET_STATUS cmd: Setting status values from Tavik to GUI:"));
              updateStatus();
          },
          parent) {
    background = new QLabel(this);
    background->move(0, 0);

    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    const quint8 type = cfg ? cfg->getDeviceType() : 0;
    if (type == TavikSysEx::FamilyNeo)
        background->setPixmap(QPixmap(":/images/gui/inputs.png"));
    else if (type == TavikSysEx::FamilyLux)
        background->setPixmap(QPixmap(":/images/gui/inputs_lux.png"));
    else
        background->setPixmap(QPixmap(":/images/gui/inputs_off.png"));
    background->resize(229, 143);

    for (int i = 0; i < 9; ++i)
        images[i] = new QPixmap(imageNames[i]);

    auto makeCell = [this](int index) {
        cell[index] = new QLabel(this);
        cell[index]->setGeometry(cellPlaces[index].x, cellPlaces[index].y, 49, 25);
        cell[index]->setPixmap(*images[LampOff]);
    };
    if (type == TavikSysEx::FamilyNeo) {
        for (int i = 0; i <= 2; ++i)
            makeCell(i);
    }
    if (type != 0) {
        for (int i = 3; i <= 10; ++i)
            makeCell(i);
    }
}

StatusDialog::~StatusDialog() {
    for (QPixmap *image : images)
        delete image;
}

QLabel *StatusDialog::getCell(int index) const {
    if (index < 0 || index >= CellCount)
        return nullptr;
    return cell[index];
}

void StatusDialog::updateStatus() {
    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    if (!cfg)
        return;

    int row = cfg->getLockedRate();
    if (row > 6)
        row = 0;
    const quint8 type = cfg->getDeviceType();
    auto showRate = [this](int index, int tableRow, quint8 rate) {
        if (cell[index])
            cell[index]->setPixmap(*images[RateImage + displayTable[tableRow][rateColumn(rate)]]);
    };
    auto showLamp = [this, cfg](int index, const char *flag) {
        if (cell[index])
            cell[index]->setPixmap(*images[LampOff + (cfg->value(SettingTable::named(flag)) & 1)]);
    };

    if (type == TavikSysEx::FamilyNeo)
        showRate(0, row, cfg->getMadiRate());
    if (type == 0)
        return;
    showRate(3, row, cfg->getAdatARate());
    showRate(6, row, cfg->getAdatBRate());
    // The word clock input is shown as reported, never converted.
    showRate(9, 0, cfg->getBncRate());

    if (type == TavikSysEx::FamilyNeo) {
        showLamp(1, "input.madi.signal");
        showLamp(2, "input.madi.lock");
    }
    showLamp(4, "input.adat_a.signal");
    showLamp(7, "input.adat_b.signal");
    showLamp(10, "input.bnc.signal");
    showLamp(5, "input.adat_a.lock");
    showLamp(8, "input.adat_b.lock");
}
