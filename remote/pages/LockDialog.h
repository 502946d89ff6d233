// Lock page: one check box mirroring the device's lock switch.
#pragma once

#include "pages/ValuesPage.h"

#include <QWidget>

class LinkHost;
class QCheckBox;

class LockDialog : public QWidget, public ValuesPage {
    Q_OBJECT

public:
    LockDialog(qint32 serialNo, LinkHost &host, QWidget *parent);
    SettingTable::Groups shownGroups() const override { return SettingTable::Lock; }
    void showChange(const DeviceRegistry::Change &change) override;

    QCheckBox *getLockBox() const { return lockBox; }

public slots:
    void update(bool changedByGUI);
    void update();

private:
    qint32 serialNo;
    LinkHost &host;
    QCheckBox *lockBox = nullptr;
};
