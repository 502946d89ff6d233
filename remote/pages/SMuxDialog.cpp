#include "pages/SMuxDialog.h"

#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>

TAVIK_REVISION("SMuxDialog.cpp");

namespace {

// Groups MADI 44.1, MADI 48, ADAT 44.1, ADAT 48: first button and number of buttons.
const int firstButton[4] = {0, 2, 5, 7};
const int groupSize[4] = {2, 3, 2, 3};

struct ButtonPlace {
    int x;
    int y;
    bool neoOnly; // enabled only on a device with a MADI port; the others on every identified device
};

const ButtonPlace places[SMuxDialog::ButtonCount] = {
    {16, 47, true},   {16, 67, true},   {16, 107, true},   {16, 127, true},   {16, 147, true},
    {126, 47, false}, {126, 67, false}, {126, 107, false}, {126, 127, false}, {126, 147, true},
};

} // namespace

SMuxDialog::SMuxDialog(qint32 serialNo, LinkHost &host, QWidget *parent)
    : ValuesPage(
          serialNo, host, SettingTable::Smux, [this](const DeviceRegistry::Change &) { update(false); },
          parent) {
    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    const quint8 type = cfg ? cfg->getDeviceType() : 0;

    auto *background = new QLabel(this);
    if (type == TavikSysEx::FamilyNeo)
        background->setPixmap(QPixmap(":/images/gui/smux.png"));
    else if (type == TavikSysEx::FamilyLux)
        background->setPixmap(QPixmap(":/images/gui/smux_lux.png"));
    else
        background->setPixmap(QPixmap(":/images/gui/smux_off.png"));
    background->setGeometry(0, 0, 229, 170);

    for (int g = 0; g < 4; ++g) {
        group[g] = new QButtonGroup(this);
        for (int k = 0; k < groupSize[g]; ++k) {
            const int index = firstButton[g] + k;
            auto *b = new QRadioButton(this);
            group[g]->addButton(b, k);
            button[index] = b;
            b->ensurePolished();
            b->setGeometry(QRect(QPoint(places[index].x, places[index].y), b->sizeHint()));
            b->setEnabled(places[index].neoOnly ? type == TavikSysEx::FamilyNeo : type != 0);
        }
        group[g]->button(0)->setChecked(true);
    }
    for (QRadioButton *b : button)
        connect(b, &QAbstractButton::clicked, this, qOverload<>(&SMuxDialog::update));
}

QRadioButton *SMuxDialog::getButton(int index) const {
    if (index < 0 || index >= ButtonCount)
        return nullptr;
    return button[index];
}

void SMuxDialog::update() {
    update(true);
}

void SMuxDialog::update(bool changedByGUI) {
    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    if (!cfg)
        return;

    if (changedByGUI) {
        QList<DeviceControl::Assignment> changes;
        for (int i = 0; i < 4; ++i) {
            const int id = group[i]->checkedId();
            // A group showing nothing (device value without a button) keeps the device's value.
            const quint8 value = id < 0 ? smuxShown[i] : quint8(id);
            if (value == smuxShown[i])
                continue;
            TAVIK_DEBUG(QString("SMUX change GUI->Tavik: Tavik-serno = ") + QString::number(serialNo) +
                        ": smux-" + QString::number(i) + "changed from " + QString::number(smuxShown[i]) +
                        "to" + QString::number(value));
            smuxShown[i] = value;
            changes.append({SettingTable::at(SettingTable::Smux, i), value});
        }
        DeviceControl *control = host.getDeviceControl();
        if (control && !changes.isEmpty())
            control->set(serialNo, changes, DeviceControl::Check::None, 0);
        return;
    }

    for (int i = 0; i < 4; ++i) {
        smuxShown[i] = cfg->getSMUX(quint8(i));
        TAVIK_DEBUG(QString("SMUX change Tavik->GUI: Tavik-serno = ") + QString::number(serialNo) +
                    ": SMUX[" + QString::number(i) + " ] set to " + QString::number(smuxShown[i]));
    }
    for (int g = 0; g < 4; ++g) {
        if (smuxShown[g] < groupSize[g]) {
            group[g]->button(smuxShown[g])->setChecked(true);
        } else {
            // No button stands for this value: show the group with nothing selected.
            group[g]->setExclusive(false);
            for (QAbstractButton *b : group[g]->buttons())
                b->setChecked(false);
            group[g]->setExclusive(true);
        }
    }
}
