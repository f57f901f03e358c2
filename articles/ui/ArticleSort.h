// The article list's sort order: low byte the column 0..7, bits 8..11 the direction (1
// ascending, 2 descending, anything else ascending). Ties and column 1 go by PLU; a column
// above 7 leaves the order as it is.
#pragma once

#include "articles/Article.h"

namespace kos {

inline constexpr int SORT_ASCENDING = 1;
inline constexpr int SORT_DESCENDING = 2;

inline int sortColumn(int sortOrder) {
    return sortOrder & 0xFF;
}
inline int sortDirection(int sortOrder) {
    return (sortOrder >> 8) & 0xF;
}

// Negative, zero or positive as a sorts before, with or after b.
int compareArticles(const Article& a, const Article& b, int sortOrder);

// The order after a click on a column title: the current column switches direction
// (ascending becomes descending, anything else ascending); another column keeps the direction.
int clickedSortOrder(int sortOrder, int column);

}  // namespace kos
