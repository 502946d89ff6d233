// One gain fader: a vertical slider with the gain text below it, tied to one fader value of a device.
#pragma once

#include <QWidget>

class LinkHost;
class QLabel;
class QSlider;

class TavikFader : public QWidget {
    Q_OBJECT

public:
    TavikFader(qint32 serialNo, bool isInputFader, int faderNumber, LinkHost &host, QWidget *parent);

    // Gain text of step value 0..28: inputs "-4.0".."+10.0", outputs "-10.0".."+4.0"; empty outside.
    static QString gainText(bool isInputFader, int value);

    QSlider *getSlider() const { return slider; }
    QLabel *getValueLabel() const { return valueLabel; }
    bool isInput() const { return isInputFader; }
    int getFaderNumber() const { return faderNumber; }
    // Index of this fader in the configuration's fader values.
    int configurationIndex() const { return isInputFader ? faderNumber + 16 : faderNumber; }

public slots:
    void update(int newFaderValue, bool updateFromGUI);
    void update(int newFaderValue);

private:
    bool isInputFader;
    qint32 faderNumber;
    QSlider *slider = nullptr;
    QLabel *valueLabel = nullptr;
    qint32 serialNo;
    LinkHost &host;
};
