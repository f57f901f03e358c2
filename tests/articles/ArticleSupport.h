// Articles for the tests of the article database.
#pragma once

#include <memory>
#include <string>

#include "articles/Article.h"

namespace kos::test {

inline std::unique_ptr<Article> makeArticle(const std::string& plu, const std::string& name,
                                            int32_t price = 250) {
    auto a = std::make_unique<Article>();
    a->plu.parse(plu);
    a->name = name;
    a->price = price;
    a->vat = 0;
    return a;
}

inline std::string hexBytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

}  // namespace kos::test
