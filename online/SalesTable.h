// The per-article sales of an online document: a chained hash table of 17 buckets keyed by the
// PLU's hash key. New entries go to the head of their chain; iteration runs bucket 0 to 16, each
// chain from its head. That order is the order of the document file and of the sales export.
// An index by PLU beside the chains finds an entry in constant time, so a shop's 150,000
// entries cost no more per sale line than a handful.
// Not locked: the document guards it with its salesLock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <unordered_map>

#include "link/Plu.h"
#include "online/PluSale.h"

namespace kos {

// How a sum stored as int32 came out: a sum beyond the 32-bit range stops at the limit.
enum class SumLimit {
    Within,   // added in full
    Reached,  // the value has just come to the limit (in full or stopped there)
    Held,     // the value was at the limit already and stays there
};

// value += add, stopped at INT32_MAX or INT32_MIN.
SumLimit addWithinRange(int32_t& value, int32_t add);

struct SalesEntry {
    Plu plu;
    PluSale sale;
};

class SalesTable {
    using Chain = std::list<struct SalesEntry>;

public:
    static constexpr int BUCKETS = 17;

    using Entry = SalesEntry;

    // A walk in table order for a caller that takes the lock once per entry and lets others
    // in between. When others removed entries meanwhile, the walk finds its place again by
    // the PLU of its next entry or else of the entry it visited last; only when both are gone
    // does it go on from the same count of entries into the bucket. Entries added meanwhile
    // may or may not be visited.
    class Walk {
        friend class SalesTable;
        size_t bucket_ = 0;
        size_t position_ = 0;  // entries of the bucket before next_
        Chain::iterator next_;
        uint64_t nextKey_ = 0;
        bool hasNext_ = false;  // next_ is an entry, not the bucket's end
        uint64_t lastKey_ = 0;
        bool hasLast_ = false;  // an entry of this bucket was visited and kept
        uint64_t removals_ = 0;
        bool placed_ = false;
    };

    // The entry of plu, created all zero at the head of its chain when missing.
    PluSale& at(const Plu& plu);
    PluSale* find(const Plu& plu);
    // Adds quantity to plu's quantity at slot (the entry created when missing), within range.
    SumLimit add(const Plu& plu, int slot, int32_t quantity);
    // Loading: an existing entry takes the values in place, a new one goes to the tail of its
    // chain, so a table read back from a file keeps the order it was written in.
    void load(const Plu& plu, const PluSale& sale);
    bool remove(const Plu& plu);
    void clear();
    size_t size() const { return index_.size(); }
    bool empty() const { return index_.empty(); }

    // Table order.
    void forEach(const std::function<void(const Entry&)>& f) const;
    // Table order; f may change the entry and returns false to remove it.
    void forEachMutable(const std::function<bool(Entry&)>& f);
    // Visits the walk's next entry: keep may change it and returns false to remove it. False
    // once the walk is past the last entry.
    bool walkStep(Walk& walk, const std::function<bool(Entry&)>& keep);
    // The entry at position index of table order, or nullptr. Walks the table: for one entry,
    // not for a loop.
    const Entry* entryAt(size_t index) const;

private:
    struct KeyHash {
        size_t operator()(uint64_t key) const { return size_t(key ^ (key >> 29)); }
    };

    static size_t bucketOf(const Plu& plu) { return plu.hashKey() % BUCKETS; }
    // The 7 BCD bytes as one number: the index's key.
    static uint64_t keyOf(const Plu& plu);
    // Puts a walk back on its next entry after others removed entries.
    void relocate(Walk& walk);

    std::array<Chain, BUCKETS> buckets_;
    std::unordered_map<uint64_t, Chain::iterator, KeyHash> index_;
    uint64_t removals_ = 0;  // entries removed so far: tells a walk its place may be gone
};

}  // namespace kos
