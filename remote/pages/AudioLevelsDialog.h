// Audio levels page: the 16 input and 16 output gain faders of one device.
#pragma once

#include "pages/ValuesPage.h"

class QLabel;
class TavikFader;

class AudioLevelsDialog : public ValuesPage {
    Q_OBJECT

public:
    AudioLevelsDialog(qint32 serialNo, LinkHost &host, QWidget *parent);

    // Configuration fader index 0..15: output faders, 16..31: input faders; null otherwise.
    TavikFader *getTavikFader(int index) const;

private:
    // A fader's change moves that fader; any other redraws them all from the record.
    void showFaders(const DeviceRegistry::Change &change);

    TavikFader *inputFader[16] = {};
    TavikFader *outputFader[16] = {};
};
