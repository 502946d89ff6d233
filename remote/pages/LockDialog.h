// Lock page: one check box mirroring the device's lock switch.
#pragma once

#include <QWidget>

class QCheckBox;

class LockDialog : public QWidget {
    Q_OBJECT

public:
    LockDialog(qint32 serialNo, QWidget *parent);

    QCheckBox *getLockBox() const { return lockBox; }

public slots:
    void update(bool changedByGUI);
    void update();

private:
    qint32 serialNo;
    QCheckBox *lockBox = nullptr;
};
