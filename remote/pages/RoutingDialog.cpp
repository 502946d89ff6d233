#include "pages/RoutingDialog.h"

#include "model/TavikConfiguration.h"
#include "pages/QRoutingRadioButton.h"
#include "protocol/DeviceControl.h"
#include "protocol/LinkHost.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPixmap>

TAVIK_REVISION("RoutingDialog.cpp");

namespace {

// Per rate range (32/44.1/48, 88.2/96, 192 kHz).
struct RangeLayout {
    int blocks;      // MADI channel blocks n; every group holds n + 1 buttons
    int firstButton; // index of button 0 of group A in the page's button array
    const char *picture;
    int pictureY;
    int pictureHeight;
    int analogColumnX; // x of the anlg. source column; ADAT and M1..Mn follow every 19 pixels
    int analogRowY;    // y of the analog destination row; ADAT and M1..Mn, off follow every 20 pixels
};

const RangeLayout ranges[3] = {
    {4, 0, ":/images/gui/routing48.png", 0, 219, 72, 77},
    {2, 20, ":/images/gui/routing96.png", 224, 178, 91, 301},
    {1, 32, ":/images/gui/routing192.png", 407, 160, 100, 484},
};

enum Group { A, B, C, D };

// Routing value index of a group: A analog outputs, B ADAT outputs, C analog inputs, D ADAT inputs.
int routingIndex(int range, int group) {
    static const int kindBase[4] = {6, 9, 0, 3};
    return kindBase[group] + range;
}

QPoint buttonPlace(const RangeLayout &r, int group, int k) {
    const int adatColumnX = r.analogColumnX + 19;
    const int firstBlockX = r.analogColumnX + 38;
    switch (group) {
    case A: // a source column for the analog outputs; the last button picks the ADAT inputs
        return {k < r.blocks ? firstBlockX + 19 * k : adatColumnX, r.analogRowY};
    case B: // a source column for the ADAT outputs; the last button picks the analog inputs
        return {k < r.blocks ? firstBlockX + 19 * k : r.analogColumnX, r.analogRowY + 20};
    case C:
        return {r.analogColumnX, r.analogRowY + 40 + 20 * k};
    default:
        return {adatColumnX, r.analogRowY + 40 + 20 * k};
    }
}

} // namespace

RoutingDialog::RoutingDialog(qint32 serialNo, LinkHost &host, QWidget *parent)
    : ValuesPage(
          serialNo, host, SettingTable::Routing,
          [this](const DeviceRegistry::Change &) {
              updateRouting32(false);
              updateRouting88(false);
              updateRouting192(false);
          },
          parent) {
    for (int range = 0; range < 3; ++range)
        buildRange(range);
}

void RoutingDialog::buildRange(int range) {
    const RangeLayout &r = ranges[range];
    auto *picture = new QLabel(this);
    picture->setPixmap(QPixmap(r.picture));
    picture->setGeometry(0, r.pictureY, 223, r.pictureHeight);

    for (int g = A; g <= D; ++g)
        group[range][g] = new QButtonGroup(this);

    const int size = r.blocks + 1;
    for (int k = 0; k < size; ++k) {
        for (int g = A; g <= D; ++g) {
            auto *b = new QRoutingRadioButton(this);
            // Exactly the indicator, so that neighbouring buttons never overlap.
            b->setGeometry(QRect(buttonPlace(r, g, k), QSize(12, 13)));
            group[range][g]->addButton(b, k);
            button[r.firstButton + g * size + k] = b;
            if (range == 0)
                connect(b, &QAbstractButton::clicked, this, qOverload<>(&RoutingDialog::updateRouting32));
            else if (range == 1)
                connect(b, &QAbstractButton::clicked, this, qOverload<>(&RoutingDialog::updateRouting88));
            else
                connect(b, &QAbstractButton::clicked, this, qOverload<>(&RoutingDialog::updateRouting192));
        }
    }
    for (int g = A; g <= D; ++g)
        group[range][g]->button(0)->setChecked(true);
}

QRoutingRadioButton *RoutingDialog::getButton(int index) const {
    if (index < 0 || index >= ButtonCount)
        return nullptr;
    return button[index];
}

quint8 RoutingDialog::getRoutingShown(int index) const {
    if (index < 0 || index > 11)
        return 0;
    return routing[index];
}

void RoutingDialog::updateRouting32(bool changedByGUI) {
    updateRange(0, changedByGUI);
}
void RoutingDialog::updateRouting32() {
    updateRange(0, true);
}
void RoutingDialog::updateRouting88(bool changedByGUI) {
    updateRange(1, changedByGUI);
}
void RoutingDialog::updateRouting88() {
    updateRange(1, true);
}
void RoutingDialog::updateRouting192(bool changedByGUI) {
    updateRange(2, changedByGUI);
}
void RoutingDialog::updateRouting192() {
    updateRange(2, true);
}

void RoutingDialog::updateRange(int range, bool changedByGUI) {
    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    if (!cfg)
        return;

    const int size = ranges[range].blocks + 1;
    if (changedByGUI) {
        quint8 values[4];
        for (int g = A; g <= D; ++g) {
            const int id = group[range][g]->checkedId();
            // A group showing nothing (device value without a button) keeps the device's value.
            values[g] = id < 0 ? routing[routingIndex(range, g)] : quint8(id);
            routing[routingIndex(range, g)] = values[g];
        }
        QList<DeviceControl::Assignment> changes;
        for (int g = A; g <= D; ++g)
            changes.append({SettingTable::at(SettingTable::Routing, routingIndex(range, g)), values[g]});
        if (DeviceControl *control = host.getDeviceControl())
            control->set(serialNo, changes, DeviceControl::Check::None, 0);
        return;
    }

    for (int i = 0; i < 12; ++i)
        routing[i] = cfg->getRouting(quint8(i));
    for (int g = A; g <= D; ++g) {
        QButtonGroup *bg = group[range][g];
        const int value = routing[routingIndex(range, g)];
        if (value < size) {
            bg->button(value)->setChecked(true);
        } else {
            // No button stands for this value: show the group with nothing selected.
            bg->setExclusive(false);
            for (QAbstractButton *b : bg->buttons())
                b->setChecked(false);
            bg->setExclusive(true);
        }
    }
}
