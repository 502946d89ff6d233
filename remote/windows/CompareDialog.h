// Lists every value in which a device and a snapshot file differ, in the pages' words, or says
// that they are the same.
#pragma once

#include "model/DeviceSnapshot.h"

#include <QDialog>

class QTreeWidget;

class CompareDialog : public QDialog {
    Q_OBJECT

public:
    // device and file name the two sides in the header line; notCompared lists the values one of
    // the families lacks.
    CompareDialog(const QString &device, const QString &file,
                  const QList<DeviceSnapshot::Difference> &differences, const QStringList &notCompared,
                  QWidget *parent = nullptr);

    QTreeWidget *rows() const { return m_rows; }

private:
    QTreeWidget *m_rows = nullptr;
};
