// The column titles of the article list: a click sorts, and the title of the sort column
// shows the arrow of the direction at its right (up when ascending, down otherwise).
#pragma once

#include <QHeaderView>

namespace kos {

class SortHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit SortHeader(QWidget* parent = nullptr);

    // The column with the arrow (-1 none) and which arrow it shows.
    void setArrow(int column, bool ascending);
    int arrowColumn() const { return arrowColumn_; }
    bool arrowAscending() const { return ascending_; }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int arrowColumn_ = -1;
    bool ascending_ = true;
};

}  // namespace kos
