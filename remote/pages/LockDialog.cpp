#include "pages/LockDialog.h"

#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QCheckBox>

TAVIK_REVISION("LockDialog.cpp");

LockDialog::LockDialog(qint32 serialNo, LinkHost &host, QWidget *parent)
    : ValuesPage(
          serialNo, host, SettingTable::Lock, [this](const DeviceRegistry::Change &) { update(false); },
          parent) {
    lockBox = new QCheckBox(tr("Locked"), this);
    lockBox->ensurePolished();
    lockBox->setGeometry(QRect(QPoint(0, 0), lockBox->sizeHint()));
    resize(lockBox->size());
    connect(lockBox, &QCheckBox::clicked, this, qOverload<>(&LockDialog::update));
}

void LockDialog::update() {
    update(true);
}

void LockDialog::update(bool changedByGUI) {
    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    if (!cfg) {
        LogSwitch::warning("LockDialog::update(): cfg ptr is NULL!");
        return;
    }
    if (changedByGUI) {
        const quint8 value = lockBox->isChecked() ? 1 : 0;
        TAVIK_DEBUG(QString("GUI -> Tavik: Setting lock to value ") + QString::number(value) +
                    " for device  " + QString::fromLatin1(cfg->getDeviceName()) +
                    "(sn=" + QString::number(serialNo) + ")");
        if (DeviceControl *control = host.getDeviceControl())
            control->set(serialNo, {{&SettingTable::named("lock"), value}}, DeviceControl::Check::None, 0);
        return;
    }
    const quint8 value = cfg->getLock();
    TAVIK_DEBUG(QString("Tavik -> GUI: Setting lock to value ") + QString::number(value) + " for device  " +
                QString::fromLatin1(cfg->getDeviceName()) + "(sn=" + QString::number(serialNo) + ")");
    // Only 1 means locked; the field has four bits on the wire.
    lockBox->setChecked(value == 1);
}
