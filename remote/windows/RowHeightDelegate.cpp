#include "windows/RowHeightDelegate.h"

#include "protocol/RevisionInfo.h"

TAVIK_REVISION("RowHeightDelegate.cpp");

QSize RowHeightDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    Q_UNUSED(option);
    Q_UNUSED(index);
    return QSize(1, 14);
}
