#include "articles/ui/SortHeader.h"

#include <QPainter>
#include <QPolygon>

namespace kos {

namespace {

QPixmap arrow(bool up) {
    QPixmap p(9, 5);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::darkGray);
    const QPolygon tri = up ? QPolygon({QPoint(0, 5), QPoint(9, 5), QPoint(4, 0)})
                            : QPolygon({QPoint(0, 0), QPoint(9, 0), QPoint(4, 5)});
    painter.drawPolygon(tri);
    return p;
}

}  // namespace

SortHeader::SortHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), up_(arrow(true)), down_(arrow(false)) {
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
    const QPixmap& p = ascending_ ? up_ : down_;
    const int x = rect.right() - p.width() - 6;
    if (x > rect.left())
        painter->drawPixmap(x, rect.center().y() - p.height() / 2, p);
}

}  // namespace kos
