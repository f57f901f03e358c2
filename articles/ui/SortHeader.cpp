#include "articles/ui/SortHeader.h"

#include <QPainter>
#include <QPolygon>

namespace kos {

SortHeader::SortHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void SortHeader::setArrow(int column, bool ascending) {
    arrowColumn_ = column;
    ascending_ = ascending;
    viewport()->update();
}

void SortHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (logicalIndex != arrowColumn_)
        return;
    // A triangle 9 x 5 at the title's right: point up when ascending, down otherwise.
    const int x = rect.right() - 9 - 6;
    const int y = rect.center().y() - 2;
    if (x <= rect.left())
        return;
    const QPolygon arrow =
        ascending_ ? QPolygon({QPoint(x, y + 5), QPoint(x + 9, y + 5), QPoint(x + 4, y)})
                   : QPolygon({QPoint(x, y), QPoint(x + 9, y), QPoint(x + 4, y + 5)});
    painter->save();
    // The style leaves a clip of its own (the title's text) behind.
    painter->setClipRect(rect);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::WindowText));
    painter->drawPolygon(arrow);
    painter->restore();
}

}  // namespace kos
