#include "shell/ListRowDelegate.h"

#include <QIcon>
#include <QPainter>

#include "shell/CListViewEx.h"

namespace kos {

ListRowDelegate::ListRowDelegate(CListViewEx* view) : QStyledItemDelegate(view), view_(view) {}

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const int column = index.column();
    const bool highlighted =
        view_->rowSelectedForDrawing(index.row()) && (column == 0 || view_->fullRowSelection());
    const QPalette& pal = view_->palette();
    QRect rect = option.rect;
    painter->save();
    painter->fillRect(rect, highlighted ? pal.color(QPalette::Highlight) : view_->textBkColor());

    if (column == 0) {
        const QVariant decoration = index.data(Qt::DecorationRole);
        if (decoration.canConvert<QIcon>()) {
            const QIcon icon = decoration.value<QIcon>();
            if (!icon.isNull()) {
                const int side = rect.height();
                icon.paint(painter,
                           QRect(rect.left() + view_->stateImageOffset(), rect.top(), side, side));
                rect.setLeft(rect.left() + view_->stateImageOffset() + side);
            }
        }
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    const int margin = cellTextMargin(column);
    const QString shown = cutText(option.fontMetrics, text, rect.width(), margin);
    Qt::Alignment align = Qt::AlignLeft;
    if (shown == text) {
        const QVariant a = index.data(Qt::TextAlignmentRole);
        if (a.isValid())
            align = Qt::Alignment(a.toInt()) & Qt::AlignHorizontal_Mask;
    }
    painter->setPen(highlighted ? pal.color(QPalette::HighlightedText) : view_->textColor());
    const QRect textRect = rect.adjusted(margin / 2, 0, -margin / 2, 0);
    painter->drawText(textRect, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    painter->restore();
}

}  // namespace kos
