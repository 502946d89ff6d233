#include "pages/SettingsDialog.h"

#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>

TAVIK_REVISION("SettingsDialog.cpp");

namespace {

QString boolText(bool value) {
    return value ? "true" : "false";
}

void place(QWidget *widget, int x, int y) {
    widget->ensurePolished();
    widget->setGeometry(QRect(QPoint(x, y), widget->sizeHint()));
}

} // namespace

SettingsDialog::SettingsDialog(qint32 serialNo, LinkHost &host, QWidget *parent)
    : ValuesPage(
          serialNo, host, SettingTable::RateAndSync,
          [this](const DeviceRegistry::Change &) { update(false); }, parent) {
    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    const quint8 type = cfg ? cfg->getDeviceType() : 0;

    auto *background = new QLabel(this);
    if (type == TavikSysEx::FamilyNeo)
        background->setPixmap(QPixmap(":/images/gui/settings.png"));
    else if (type == TavikSysEx::FamilyLux)
        background->setPixmap(QPixmap(":/images/gui/settings_lux.png"));
    else
        background->setPixmap(QPixmap(":/images/gui/settings_off.png"));
    background->setGeometry(0, 0, 229, 170);

    rateGroup = new QButtonGroup(this);
    for (int i = 0; i < 6; ++i) {
        rateButton[i] = new QRadioButton(this);
        rateGroup->addButton(rateButton[i], i);
    }
    rateButton[0]->setChecked(true);
    syncGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        syncButton[i] = new QRadioButton(this);
        syncGroup->addButton(syncButton[i], i);
    }
    syncButton[0]->setChecked(true);
    extFunctionsBox = new QCheckBox(this);

    for (int i = 0; i < 6; ++i)
        place(rateButton[i], 16, 47 + 20 * i);
    for (int i = 0; i < 4; ++i)
        place(syncButton[i], 126, 47 + 20 * i);
    place(extFunctionsBox, 101, 129);

    setSettingsDialogEnabled(false);

    connect(extFunctionsBox, &QCheckBox::clicked, this, &SettingsDialog::setAllSettingsDialogEnabled);
    for (QRadioButton *b : rateButton)
        connect(b, &QAbstractButton::clicked, this, qOverload<>(&SettingsDialog::update));
    for (QRadioButton *b : syncButton)
        connect(b, &QAbstractButton::clicked, this, qOverload<>(&SettingsDialog::update));
}

QRadioButton *SettingsDialog::getRateButton(int index) const {
    if (index < 0 || index >= 6)
        return nullptr;
    return rateButton[index];
}

QRadioButton *SettingsDialog::getSyncButton(int index) const {
    if (index < 0 || index >= 4)
        return nullptr;
    return syncButton[index];
}

void SettingsDialog::update() {
    update(true);
}

void SettingsDialog::update(bool changedByGUI) {
    if (changedByGUI) {
        const int rate = rateGroup->checkedId();
        const int sync = syncGroup->checkedId();
        if (rate < 0 || sync < 0)
            return;
        if (DeviceControl *control = host.getDeviceControl())
            control->set(serialNo,
                         {{&SettingTable::named("rate"), quint8(rate + 1)},
                          {&SettingTable::named("sync"), quint8(sync)}},
                         DeviceControl::Check::None, 0);
        return;
    }

    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    if (!cfg)
        return;
    const int frequency = cfg->getFrequency();
    const int rate = frequency == 0 ? 0 : frequency - 1;
    if (rate < 6)
        rateButton[rate]->setChecked(true);
    if (cfg->getSync() < 4)
        syncButton[cfg->getSync()]->setChecked(true);
}

void SettingsDialog::setAllSettingsDialogEnabled(bool isEnabled) {
    TAVIK_DEBUG(QString("Switching accessibility of ALL settings dialog to: ") + boolText(isEnabled));
    emit allSettingsEnabledRequested(isEnabled);
}

void SettingsDialog::setSettingsDialogEnabled(bool on) {
    TAVIK_DEBUG(QString("Switching accessibility of settings dialog to: ") + boolText(on) +
                " for Tavik serialNo = " + QString::number(serialNo));
    if (extFunctionsBox->isChecked() != on)
        extFunctionsBox->setChecked(on);

    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    const quint8 type = cfg ? cfg->getDeviceType() : 0;
    // 192 kHz and MADI clock need the MADI port of a Tavik Neo; an unidentified device gets nothing.
    const bool identified = on && type != 0;
    const bool neo = on && type == TavikSysEx::FamilyNeo;
    for (int i = 0; i < 5; ++i)
        rateButton[i]->setEnabled(identified);
    rateButton[5]->setEnabled(neo);
    syncButton[0]->setEnabled(identified);
    syncButton[1]->setEnabled(neo);
    syncButton[2]->setEnabled(identified);
    syncButton[3]->setEnabled(identified);
}
