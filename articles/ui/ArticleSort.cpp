#include "articles/ui/ArticleSort.h"

#include <cstring>

namespace kos {

namespace {

template <typename T>
int order(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareNames(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    const int c = std::memcmp(a.data(), b.data(), n);  // unsigned bytes
    return c != 0 ? order(c, 0) : order(a.size(), b.size());
}

int compareColumn(const Article& a, const Article& b, int column) {
    switch (column) {
        case 0:
            return order(!a.modified, !b.modified);
        case 2:
            return compareNames(a.name, b.name);
        case 3:
            return order(a.price, b.price);
        case 4: {
            const int c = order(a.openPrice, b.openPrice);
            return c != 0 ? c : order(a.price, b.price);
        }
        case 5:
            return order(static_cast<int8_t>(a.vat), static_cast<int8_t>(b.vat));
        case 6:
            return order(a.saleQuantity, b.saleQuantity);
        case 7:
            return order(a.saleValue, b.saleValue);
    }
    return 0;
}

}  // namespace

int compareArticles(const Article& a, const Article& b, int sortOrder) {
    const int column = sortColumn(sortOrder);
    if (column > 7)
        return 0;
    int c = compareColumn(a, b, column);
    if (c == 0)
        c = order(a.plu, b.plu);
    return sortDirection(sortOrder) == SORT_DESCENDING ? -c : c;
}

int clickedSortOrder(int sortOrder, int column) {
    int direction = sortDirection(sortOrder);
    if (column == sortColumn(sortOrder))
        direction = direction == SORT_ASCENDING ? SORT_DESCENDING : SORT_ASCENDING;
    return (sortOrder & ~0xFFF) | (direction << 8) | (column & 0xFF);
}

}  // namespace kos
