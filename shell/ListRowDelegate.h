// Draws one cell of a CListViewEx row: background, icon, and the text cut to its column.
#pragma once

#include <QStyledItemDelegate>

namespace kos {

class CListViewEx;

class ListRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ListRowDelegate(CListViewEx* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    CListViewEx* view_;
};

}  // namespace kos
