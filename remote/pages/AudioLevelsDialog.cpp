#include "pages/AudioLevelsDialog.h"

#include "model/TavikConfiguration.h"
#include "pages/TavikFader.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/RevisionInfo.h"

#include <QLabel>
#include <QPixmap>
#include <QSlider>

TAVIK_REVISION("AudioLevelsDialog.cpp");

AudioLevelsDialog::AudioLevelsDialog(qint32 serialNo, LinkHost &host, QWidget *parent)
    : ValuesPage(
          serialNo, host, SettingTable::Faders,
          [this](const DeviceRegistry::Change &change) { showFaders(change); }, parent) {
    auto *inputPicture = new QLabel(this);
    inputPicture->setPixmap(QPixmap(":/images/gui/ingains.png"));
    inputPicture->setGeometry(0, 0, 546, 244);

    auto makeFader = [this, &host](bool input, int k, int y) {
        auto *fader = new TavikFader(this->serialNo, input, k, host, this);
        fader->move(11 + 33 * k, y);
        connect(fader->getSlider(), &QSlider::valueChanged, fader, qOverload<int>(&TavikFader::update));
        fader->update(0, false);
        return fader;
    };
    for (int k = 0; k < 16; ++k)
        inputFader[k] = makeFader(true, k, 40);

    auto *outputPicture = new QLabel(this);
    outputPicture->setPixmap(QPixmap(":/images/gui/outgains.png"));
    outputPicture->setGeometry(0, 250, 546, 244);
    for (int k = 0; k < 16; ++k)
        outputFader[k] = makeFader(false, k, 290);
}

TavikFader *AudioLevelsDialog::getTavikFader(int index) const {
    if (index >= 0 && index <= 15)
        return outputFader[index];
    if (index >= 16 && index <= 31)
        return inputFader[index - 16];
    LogSwitch::warning("getTavikFader(): got strange fader number (out of range)");
    return nullptr;
}

void AudioLevelsDialog::showFaders(const DeviceRegistry::Change &change) {
    if (change.fader >= 0) {
        if (TavikFader *fader = getTavikFader(change.fader))
            fader->update(change.faderCode, false);
        return;
    }
    const TavikConfiguration *cfg = host.getConfiguration(serialNo);
    for (int index = 0; cfg && index < SettingTable::FaderCount; ++index)
        if (TavikFader *fader = getTavikFader(index))
            fader->update(cfg->getFaderValue(index), false);
}
