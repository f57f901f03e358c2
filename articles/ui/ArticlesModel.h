// The rows of the article list: one row per article of the document, in the view's sort
// order, with the eight column texts made from the article when they are shown.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "articles/ArticleText.h"
#include "articles/Articles.h"

namespace kos {

inline constexpr int ARTICLE_COLUMNS = 8;

// The text of one cell (UTF-8 as Qt shows it). A row added by "Dodaj" leaves the sales
// columns empty until the list is filled again.
QString articleCell(const Article& article, int column, const VatTexts& vat, bool withSales);

class ArticlesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ArticlesModel(QObject* parent = nullptr);

    int sortOrder() const { return sortOrder_; }
    // Sets the order without sorting.
    void setSortOrder(int sortOrder) { sortOrder_ = sortOrder; }
    // New VAT descriptions: the "PTU" column is shown anew.
    void setVatTexts(const VatTexts& texts);

    // Every article of the list, sorted.
    void fill(const Articles& articles);
    // Re-sorts the rows; selection and current row follow their articles.
    void sortRows();
    // Appends a row for the article (not sorted).
    void appendArticle(Article* article, bool withSales);
    // Drops the rows of these articles.
    void removeArticles(const std::vector<Article*>& articles);
    // The row's article changed: its texts are shown anew.
    void rowChanged(int row);
    // A column of every row is shown anew.
    void columnChanged(int column);

    Article* articleAt(int row) const { return rows_[static_cast<size_t>(row)].article; }
    int rowOf(const Article* article) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        Article* article;
        bool withSales;
    };

    std::vector<Row> rows_;
    VatTexts vat_;
    int sortOrder_ = 0;
};

}  // namespace kos
