// The per-article sales of an online document: a chained hash table of 17 buckets keyed by the
// PLU's hash key. New entries go to the head of their chain; iteration runs bucket 0 to 16, each
// chain from its head. That order is the order of the document file and of the sales export.
// Not locked: the document guards it with its salesLock.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <list>

#include "link/Plu.h"
#include "online/PluSale.h"

namespace kos {

class SalesTable {
public:
    static constexpr int BUCKETS = 17;

    struct Entry {
        Plu plu;
        PluSale sale;
    };

    // The entry of plu, created all zero at the head of its chain when missing.
    PluSale& at(const Plu& plu);
    PluSale* find(const Plu& plu);
    // Loading: an existing entry takes the values in place, a new one goes to the tail of its
    // chain, so a table read back from a file keeps the order it was written in.
    void load(const Plu& plu, const PluSale& sale);
    bool remove(const Plu& plu);
    void clear();
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Table order.
    void forEach(const std::function<void(const Entry&)>& f) const;
    // Table order; f may change the entry and returns false to remove it.
    void forEachMutable(const std::function<bool(Entry&)>& f);
    // The entry at position index of table order, or nullptr.
    const Entry* entryAt(size_t index) const;

private:
    static size_t bucketOf(const Plu& plu) { return plu.hashKey() % BUCKETS; }

    std::array<std::list<Entry>, BUCKETS> buckets_;
    size_t size_ = 0;
};

}  // namespace kos
