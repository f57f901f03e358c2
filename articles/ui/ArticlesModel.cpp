#include "articles/ui/ArticlesModel.h"

#include <algorithm>
#include <unordered_map>

#include "articles/ui/ArticleSort.h"
#include "base/Codepage.h"

namespace kos {

namespace {

const char* const TITLES[ARTICLE_COLUMNS] = {"ECR",          "PLU", "Nazwa", "Cena",
                                             "Cena otwarta", "PTU", "ilość", "wartość"};

// "%ld,%0*d" of value / scale and the absolute value of value % scale (cut toward zero); a
// negative value above -1 keeps its sign ("-0,01", not "0,01").
QString fixed(int32_t value, int scale, int digits) {
    const int32_t rest = value % scale;
    const char* sign = value < 0 && value / scale == 0 ? "-" : "";
    return QString::asprintf("%s%ld,%0*d", sign, long(value / scale), digits,
                             rest < 0 ? -rest : rest);
}

QString fromCp1250(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return QString::fromStdString(cp1250ToUtf8(text));
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

}  // namespace

QString articleCell(const Article& a, int column, const VatTexts& vat, bool withSales) {
    switch (column) {
        case 0:
            return a.modified ? QStringLiteral(" ") : QStringLiteral("x");
        case 1: {
            char text[Plu::TEXT_SIZE];
            return QString::fromLatin1(a.plu.text(text));
        }
        case 2:
            return fromCp1250(a.name);
        case 3:
            return fixed(a.price, 100, 2);
        case 4:
            return a.openPrice ? QStringLiteral("TAK") : QStringLiteral("NIE");
        case 5:
            return fromCp1250(vatColumn(a.vat, vat));
        case 6:
            return withSales ? fixed(a.saleQuantity, 1000, 3) : QString();
        case 7:
            return withSales ? fixed(a.saleValue, 100, 2) : QString();
    }
    return {};
}

ArticlesModel::ArticlesModel(QObject* parent) : QAbstractTableModel(parent) {}

void ArticlesModel::setVatTexts(const VatTexts& texts) {
    vat_ = texts;
    columnChanged(5);
}

void ArticlesModel::fill(const Articles& articles) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(size_t(articles.count()));
    for (Article* a : articles)
        rows_.push_back({a, true});
    const int order = sortOrder_;
    std::stable_sort(rows_.begin(), rows_.end(), [order](const Row& x, const Row& y) {
        return compareArticles(*x.article, *y.article, order) < 0;
    });
    endResetModel();
}

void ArticlesModel::sortRows() {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<Article*> articlesBefore;
    articlesBefore.reserve(size_t(before.size()));
    for (const QModelIndex& i : before)
        articlesBefore.push_back(articleAt(i.row()));

    const int order = sortOrder_;
    std::stable_sort(rows_.begin(), rows_.end(), [order](const Row& x, const Row& y) {
        return compareArticles(*x.article, *y.article, order) < 0;
    });

    QModelIndexList after;
    after.reserve(before.size());
    if (!before.isEmpty()) {
        std::unordered_map<const Article*, int> rowOfArticle;
        rowOfArticle.reserve(rows_.size());
        for (size_t r = 0; r < rows_.size(); ++r)
            rowOfArticle.emplace(rows_[r].article, int(r));
        for (int i = 0; i < before.size(); ++i)
            after.append(index(rowOfArticle.at(articlesBefore[size_t(i)]), before[i].column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ArticlesModel::appendArticle(Article* article, bool withSales) {
    const int row = int(rows_.size());
    beginInsertRows({}, row, row);
    rows_.push_back({article, withSales});
    endInsertRows();
}

void ArticlesModel::removeArticles(const std::vector<Article*>& articles) {
    std::vector<Article*> gone(articles);
    std::sort(gone.begin(), gone.end());
    // From the end, in runs of neighbouring rows, so that each removal is one signal.
    int row = int(rows_.size()) - 1;
    while (row >= 0) {
        auto isGone = [&](int r) {
            return std::binary_search(gone.begin(), gone.end(), rows_[size_t(r)].article);
        };
        if (!isGone(row)) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && isGone(first - 1))
            --first;
        beginRemoveRows({}, first, row);
        rows_.erase(rows_.begin() + first, rows_.begin() + row + 1);
        endRemoveRows();
        row = first - 1;
    }
}

void ArticlesModel::rowChanged(int row) {
    Q_EMIT dataChanged(index(row, 0), index(row, ARTICLE_COLUMNS - 1));
}

void ArticlesModel::columnChanged(int column) {
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, column), index(int(rows_.size()) - 1, column));
}

int ArticlesModel::rowOf(const Article* article) const {
    for (size_t r = 0; r < rows_.size(); ++r)
        if (rows_[r].article == article)
            return int(r);
    return -1;
}

int ArticlesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ArticlesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ARTICLE_COLUMNS;
}

QVariant ArticlesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Row& r = rows_[size_t(index.row())];
    return articleCell(*r.article, index.column(), vat_, r.withSales);
}

QVariant ArticlesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ARTICLE_COLUMNS)
        return {};
    return QString::fromUtf8(TITLES[section]);
}

}  // namespace kos
