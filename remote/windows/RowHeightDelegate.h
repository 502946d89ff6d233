// Item delegate that makes the rows of the port drop-down lists compact.
#pragma once

#include <QItemDelegate>

class RowHeightDelegate : public QItemDelegate {
    Q_OBJECT

public:
    using QItemDelegate::QItemDelegate;

    // Every row is 1 pixel wide and 14 pixels high; the list view widens it to its own width.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
