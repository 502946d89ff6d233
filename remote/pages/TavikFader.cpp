#include "pages/TavikFader.h"

#include "model/SettingNames.h"
#include "model/TavikConfiguration.h"
#include "protocol/DeviceControl.h"
#include "protocol/LinkHost.h"
#include "protocol/LogSwitch.h"
#include "protocol/MIDI.h"
#include "protocol/RevisionInfo.h"

#include <QLabel>
#include <QSlider>
#include <QStringList>

TAVIK_REVISION("TavikFader.cpp");

namespace {

constexpr int MaxStep = 28;

// Gain texts of steps 0..28 of an output fader (index 0) or an input fader (index 16).
QStringList buildGainTexts(int faderIndex) {
    QStringList texts;
    for (int step = 0; step <= MaxStep; ++step) {
        const double gain = SettingNames::gainDb(faderIndex, step);
        QString text = QString::number(gain, 'f', 1);
        if (gain > 0)
            text.prepend('+');
        texts << text;
    }
    return texts;
}

const QStringList inputGainTexts = buildGainTexts(16);
const QStringList outputGainTexts = buildGainTexts(0);

} // namespace

TavikFader::TavikFader(qint32 serialNo, bool isInputFader, int faderNumber, LinkHost &host, QWidget *parent)
    : QWidget(parent), isInputFader(isInputFader), faderNumber(faderNumber), serialNo(serialNo), host(host) {
    if (faderNumber < 0 || faderNumber > 15) {
        LogSwitch::warning("TavikFader constructor: fader number out of range!");
        return;
    }
    if (!parent) {
        LogSwitch::warning("TavikFader constructor: no parent!");
        return;
    }
    slider = new QSlider(Qt::Vertical, this);
    slider->setRange(0, MaxStep);
    slider->setFixedWidth(33);
    slider->setFixedHeight(183);
    slider->setGeometry(0, 0, 33, 183);

    valueLabel = new QLabel(this);
    // Plain text of a fixed size: a new gain text is neither scanned for markup nor relaid out.
    valueLabel->setTextFormat(Qt::PlainText);
    valueLabel->setFixedSize(33, 20);
    valueLabel->move(4, 183);
    valueLabel->setAlignment(Qt::AlignCenter);
    resize(37, 203);
}

QString TavikFader::gainText(bool isInputFader, int value) {
    if (value < 0 || value > MaxStep)
        return QString();
    return isInputFader ? inputGainTexts.at(value) : outputGainTexts.at(value);
}

void TavikFader::update(int newFaderValue) {
    update(newFaderValue, true);
}

void TavikFader::update(int newFaderValue, bool updateFromGUI) {
    if (unsigned(newFaderValue) > unsigned(MaxStep)) {
        LogSwitch::warning("TavikFader::update(): new val out of range!");
        return;
    }
    if (valueLabel)
        valueLabel->setText(gainText(isInputFader, newFaderValue));

    TavikConfiguration *cfg = host.getConfiguration(serialNo);
    if (!cfg || !slider)
        return;
    if (updateFromGUI) {
        if (DeviceControl *control = host.getDeviceControl())
            control->set(
                serialNo,
                {{SettingTable::at(SettingTable::Faders, configurationIndex()), quint8(newFaderValue)}},
                DeviceControl::Check::None, 0);
        return;
    }
    cfg->setFaderValue(quint32(configurationIndex()), quint32(newFaderValue));
    // A device value moves the slider without a valueChanged, so it is never sent back.
    const bool wasBlocked = slider->blockSignals(true);
    slider->setValue(newFaderValue);
    slider->blockSignals(wasBlocked);
}
