// The sales table's sums at the 32-bit limit and its walk, which must visit every entry once
// in table order even when others remove entries between two steps.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "online/SalesTable.h"

namespace kos::test {
namespace {

TEST(SalesTableTest, SumsStopAtTheLimitAndSayWhenTheyComeToIt) {
    struct Case {
        int32_t value, add, sum;
        SumLimit limit;
    } cases[] = {
        {1, 2, 3, SumLimit::Within},
        {INT_MAX - 1, 5, INT_MAX, SumLimit::Reached},
        {INT_MAX - 1, 1, INT_MAX, SumLimit::Reached},
        {INT_MAX, 1, INT_MAX, SumLimit::Held},
        {INT_MAX, -1, INT_MAX - 1, SumLimit::Within},
        {INT_MIN + 1, -5, INT_MIN, SumLimit::Reached},
        {INT_MIN, -1, INT_MIN, SumLimit::Held},
        {INT_MIN, INT_MAX, -1, SumLimit::Within},
    };
    for (const Case& c : cases) {
        int32_t v = c.value;
        EXPECT_EQ(c.limit, addWithinRange(v, c.add)) << c.value << " + " << c.add;
        EXPECT_EQ(c.sum, v) << c.value << " + " << c.add;
    }
}

Plu pluOf(int n) {
    Plu p;
    p.parse(std::to_string(n));
    return p;
}

std::vector<int> tableOrder(const SalesTable& t) {
    std::vector<int> order;
    t.forEach([&](const SalesTable::Entry& e) { order.push_back(e.sale.quantity[0]); });
    return order;
}

TEST(SalesTableTest, WalkVisitsEachEntryOnceWhileOthersRemoveEntries) {
    // 17 buckets of 4 entries; between steps another user removes the walk's next entry, one
    // already visited or one further on, in turn.
    SalesTable t;
    for (int n = 1; n <= 68; ++n)
        t.at(pluOf(n)).quantity[0] = n;
    const std::vector<int> before = tableOrder(t);
    std::vector<int> visited, removed;
    SalesTable::Walk walk;
    const std::function<bool(SalesTable::Entry&)> visit = [&](SalesTable::Entry& e) {
        visited.push_back(e.sale.quantity[0]);
        return e.sale.quantity[0] % 5 != 0;  // the walk removes these itself
    };
    for (size_t step = 0; t.walkStep(walk, visit); ++step) {
        const std::vector<int> now = tableOrder(t);
        const size_t at = std::find(now.begin(), now.end(), visited.back()) - now.begin();
        const size_t pick = step % 3 == 0 ? at + 1 : step % 3 == 1 ? at : at + 7;
        if (visited.back() % 5 != 0 && pick < now.size()) {
            removed.push_back(now[pick]);
            ASSERT_TRUE(t.remove(pluOf(now[pick])));
        }
    }
    std::vector<int> expected;
    for (int q : before)
        if (std::find(removed.begin(), removed.end(), q) == removed.end() ||
            std::find(visited.begin(), visited.end(), q) != visited.end())
            expected.push_back(q);
    EXPECT_EQ(expected, visited);
    for (int q : tableOrder(t))
        EXPECT_NE(0, q % 5);
    EXPECT_EQ(tableOrder(t).size(), t.size());
    EXPECT_EQ(nullptr, t.find(pluOf(5)));
}

}  // namespace
}  // namespace kos::test
