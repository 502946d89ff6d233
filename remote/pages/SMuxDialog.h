// SMUX page: how the MADI and ADAT inputs at 44.1/48 kHz frame rate are read (single, double or quad speed).
#pragma once

#include "pages/ValuesPage.h"

class QButtonGroup;
class QRadioButton;

class SMuxDialog : public ValuesPage {
    Q_OBJECT

public:
    SMuxDialog(qint32 serialNo, LinkHost &host, QWidget *parent);

    static constexpr int ButtonCount = 10;
    QRadioButton *getButton(int index) const;
    quint8 getSmuxShown(int index) const { return smuxShown[index & 3]; }

public slots:
    void update(bool changedByGUI);
    void update();

private:
    // The values last sent or received, to tell which values a click changed.
    quint8 smuxShown[4] = {};
    QRadioButton *button[ButtonCount] = {};
    QButtonGroup *group[4] = {};
};
