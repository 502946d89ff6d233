// Lock page: one check box mirroring the device's lock switch.
#pragma once

#include "pages/ValuesPage.h"

class QCheckBox;

class LockDialog : public ValuesPage {
    Q_OBJECT

public:
    LockDialog(qint32 serialNo, LinkHost &host, QWidget *parent);

    QCheckBox *getLockBox() const { return lockBox; }

public slots:
    void update(bool changedByGUI);
    void update();

private:
    QCheckBox *lockBox = nullptr;
};
