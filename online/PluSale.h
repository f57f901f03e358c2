// Sales of one article per register slot, in thousandths. `extra` is stored and copied but this
// program never fills it.
#pragma once

#include <array>
#include <cstdint>

#include "base/Bytes.h"

namespace kos {

inline constexpr int SLOT_COUNT = 12;

struct PluSale {
    std::array<int32_t, SLOT_COUNT> quantity{};
    std::array<int32_t, SLOT_COUNT> extra{};

    bool isEmpty() const;
    // Its own form: quantity[i] then extra[i] for slot 0 to 11.
    void serialize(ByteWriter& out) const;
    bool deserialize(ByteReader& in);

    bool operator==(const PluSale& o) const { return quantity == o.quantity && extra == o.extra; }
};

}  // namespace kos
