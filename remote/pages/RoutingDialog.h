// Routing page: three cross-point matrices (32/44.1/48, 88.2/96 and 192 kHz) mirroring the twelve routing
// values.
#pragma once

#include "pages/ValuesPage.h"

class QButtonGroup;
class QRoutingRadioButton;

class RoutingDialog : public ValuesPage {
    Q_OBJECT

public:
    RoutingDialog(qint32 serialNo, LinkHost &host, QWidget *parent);

    static constexpr int ButtonCount = 40;
    QRoutingRadioButton *getButton(int index) const;
    // The page's copy of routing value index (0..11).
    quint8 getRoutingShown(int index) const;

public slots:
    void updateRouting32(bool changedByGUI);
    void updateRouting32();
    void updateRouting88(bool changedByGUI);
    void updateRouting88();
    void updateRouting192(bool changedByGUI);
    void updateRouting192();

private:
    void buildRange(int range);
    void updateRange(int range, bool changedByGUI);

    quint8 routing[12] = {};
    QRoutingRadioButton *button[ButtonCount] = {};
    // Groups A, B, C, D of each range.
    QButtonGroup *group[3][4] = {};
};
