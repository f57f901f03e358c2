// One article of the price list: PLU, name, price, VAT rate, open-price flag, the sales totals
// read from the register and the mark of a change not yet sent to it.
#pragma once

#include <cstdint>
#include <string>

#include "base/Bytes.h"
#include "link/Plu.h"

namespace kos {

inline constexpr uint8_t VAT_UNDEFINED = 255;
inline constexpr int VAT_RATES = 7;  // A .. G
// Longest name the dialog and the paste take (the register prints more, files may hold more).
inline constexpr size_t ARTICLE_NAME_LIMIT = 18;

struct Article {
    static constexpr const char* CLASS_NAME = "Article";
    static constexpr uint16_t SCHEMA = 3;

    Plu plu;
    std::string name;   // code page 1250
    int32_t price = 0;  // hundredths; -1 when pasted with an empty price
    bool openPrice = false;
    uint8_t vat = VAT_UNDEFINED;
    bool modified = true;      // changed since the last exchange with the register
    int32_t saleQuantity = 0;  // thousandths
    int32_t saleValue = 0;     // hundredths

    // Equal once every space is removed from both; otherwise byte for byte.
    bool nameEquals(const std::string& text) const;

    // The body of the current schema.
    void serialize(ByteWriter& out) const;
    // A body of schema 1, 2 or 3; fields a schema lacks keep their values.
    bool deserialize(ByteReader& in, uint16_t schema);
};

// The name with every space removed: what uniqueness compares.
std::string nameKey(const std::string& name);

// Trims white space at both ends and upper-cases code page 1250 letters, as names are entered.
std::string normalizeName(const std::string& cp1250);

}  // namespace kos
