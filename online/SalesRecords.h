// The sales an online document collects: the per-article table and the two totals per slot of
// the sales without an article code. The document guards them with its salesLock.
#pragma once

#include <array>
#include <cstdint>

#include "online/PluSale.h"
#include "online/SalesTable.h"

namespace kos {

struct SalesRecords {
    SalesTable table;
    std::array<int32_t, SLOT_COUNT> positiveTotal{};
    std::array<int32_t, SLOT_COUNT> negativeTotal{};
};

}  // namespace kos
