#include "windows/CompareDialog.h"

#include "protocol/RevisionInfo.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

TAVIK_REVISION("CompareDialog.cpp");

CompareDialog::CompareDialog(const QString &device, const QString &file,
                             const QList<DeviceSnapshot::Difference> &differences,
                             const QStringList &notCompared, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("compareDialog"));
    setWindowTitle(QStringLiteral("Kalvenso Remote - Compare with snapshot"));
    auto *layout = new QVBoxLayout(this);

    auto *header = new QLabel(this);
    header->setObjectName(QStringLiteral("compareSummary"));
    header->setWordWrap(true);
    header->setText(differences.isEmpty() ? QStringLiteral("%1 and %2 are the same.").arg(device, file)
                                          : QStringLiteral("%1 and %2 differ in %3 %4:")
                                                .arg(device, file)
                                                .arg(differences.size())
                                                .arg(differences.size() == 1 ? QStringLiteral("value")
                                                                             : QStringLiteral("values")));
    layout->addWidget(header);

    m_rows = new QTreeWidget(this);
    m_rows->setRootIsDecorated(false);
    m_rows->setHeaderLabels({QStringLiteral("Value"), QStringLiteral("Device"), QStringLiteral("File")});
    for (const DeviceSnapshot::Difference &d : differences)
        m_rows->addTopLevelItem(new QTreeWidgetItem(QStringList{d.field, d.from, d.to}));
    // Room between the columns; the file's column takes the rest.
    for (int column = 0; column < 2; ++column) {
        m_rows->resizeColumnToContents(column);
        m_rows->setColumnWidth(column, m_rows->columnWidth(column) + 24);
    }
    m_rows->setVisible(!differences.isEmpty());
    layout->addWidget(m_rows);

    if (!notCompared.isEmpty()) {
        auto *note =
            new QLabel(QStringLiteral("Not compared:\n  ") + notCompared.join(QStringLiteral("\n  ")), this);
        note->setObjectName(QStringLiteral("compareNotCompared"));
        layout->addWidget(note);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, differences.isEmpty() ? 140 : 320);
}
