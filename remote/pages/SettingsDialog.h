// Settings page: sample rate and clock source of one device, and the extended-functions switch.
#pragma once

#include "pages/ValuesPage.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;

class SettingsDialog : public ValuesPage {
    Q_OBJECT

public:
    SettingsDialog(qint32 serialNo, LinkHost &host, QWidget *parent);

    // Sets the check box and the enabled state of this page only.
    void setSettingsDialogEnabled(bool on);

    QRadioButton *getRateButton(int index) const;
    QRadioButton *getSyncButton(int index) const;
    QCheckBox *getExtFunctionsBox() const { return extFunctionsBox; }

public slots:
    void update(bool changedByGUI);
    void update();
    void setAllSettingsDialogEnabled(bool isEnabled);

signals:
    // The extended-functions switch of this page was clicked; the device window passes it on to
    // every device window.
    void allSettingsEnabledRequested(bool isEnabled);

private:
    QRadioButton *rateButton[6] = {};
    QRadioButton *syncButton[4] = {};
    QCheckBox *extFunctionsBox = nullptr;
    QButtonGroup *rateGroup = nullptr;
    QButtonGroup *syncGroup = nullptr;
};
