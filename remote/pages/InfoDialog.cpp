#include "pages/InfoDialog.h"

#include "model/TavikConfiguration.h"
#include "protocol/LinkHost.h"
#include "protocol/RevisionInfo.h"
#include "sysex/TavikSysEx.h"

#include <QLabel>
#include <QStringList>

TAVIK_REVISION("InfoDialog.cpp");

namespace {

const QStringList lockedRateNames = {
    "not locked",      "32kHz, locked", "44.1kHz, locked", "48kHz, locked",
    "88.2kHz, locked", "96kHz, locked", "192kHz, locked",
};

} // namespace

InfoDialog::InfoDialog(qint32 serialNo, LinkHost &host, QWidget *parent)
    : ValuesPage(
          serialNo, host, SettingTable::Reported, [this](const DeviceRegistry::Change &) { updateInfo(); },
          parent) {
    label = new QLabel("selected: ---", this);
    label->setGeometry(0, 0, 400, 20);
}

QString InfoDialog::lockedRateName(int lockedRate) {
    if (lockedRate < 0 || lockedRate >= lockedRateNames.size())
        return lockedRateNames.first();
    return lockedRateNames.at(lockedRate);
}

void InfoDialog::updateInfo() {
    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    if (!cfg)
        return;
    QString text = "selected: ";
    switch (cfg->getDeviceType()) {
    case TavikSysEx::FamilyNeo:
        text += " Tavik Neo, ";
        break;
    case TavikSysEx::FamilyLux:
        text += " Tavik Lux, ";
        break;
    default:
        text += " unknown, ";
        break;
    }
    text += lockedRateName(cfg->getLockedRate());
    infoText = text;
    label->setText(infoText);
}
