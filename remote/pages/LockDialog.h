// Lock page: one check box mirroring the device's lock switch.
#pragma once

#include <QWidget>

class LinkHost;
class QCheckBox;

class LockDialog : public QWidget {
    Q_OBJECT

public:
    LockDialog(qint32 serialNo, LinkHost &host, QWidget *parent);

    QCheckBox *getLockBox() const { return lockBox; }

public slots:
    void update(bool changedByGUI);
    void update();

private:
    qint32 serialNo;
    LinkHost &host;
    QCheckBox *lockBox = nullptr;
};
