// The article record and callbacks the register commands exchange with their callers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace kos {

struct EcrArticle {
    char plu[15] = {};      // 14 digits and a terminating zero
    char name[21] = {};     // code page 1250, at most 20 characters and a terminating zero
    int32_t price = 0;      // hundredths
    uint8_t openPrice = 0;  // 1: price entered at sale time
    uint8_t vat = 0;        // 0 (rate A) .. 6 (rate G)
    int32_t quantity = 0;   // thousandths, filled when reading
    int32_t amount = 0;     // hundredths, filled when reading
};

// The callbacks run on the command's thread; reply is the register's first reply. What a caller
// needs besides (its list, its counters) it captures.
// Fills article i; 1 when filled, any other value ends the list.
using ArticleSourceFn = std::function<int(const std::string& reply, int i, EcrArticle& article)>;
// ok: 1 accepted, 0 refused; counts as they stand after this article.
using ArticleProgressFn = std::function<void(
    const std::string& reply, int i, const EcrArticle& article, int ok, int accepted, int refused)>;
// 0 stop now, 1 stored, 2 could not be stored.
using ArticleStoreFn =
    std::function<int(const std::string& reply, int i, int errors, const EcrArticle& article)>;

inline constexpr int HEADER_LINES = 5;
using HeaderLines = std::array<std::string, HEADER_LINES>;

}  // namespace kos
