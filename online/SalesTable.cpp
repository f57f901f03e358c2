#include "online/SalesTable.h"

#include <limits>

namespace kos {

SumLimit addWithinRange(int32_t& value, int32_t add) {
    constexpr int64_t HIGH = std::numeric_limits<int32_t>::max();
    constexpr int64_t LOW = std::numeric_limits<int32_t>::min();
    const int64_t sum = int64_t{value} + add;
    const int32_t limited = static_cast<int32_t>(sum > HIGH ? HIGH : sum < LOW ? LOW : sum);
    const int32_t before = value;
    value = limited;
    if (limited != HIGH && limited != LOW)
        return SumLimit::Within;
    if (before != limited)
        return SumLimit::Reached;
    return add == 0 ? SumLimit::Within : SumLimit::Held;
}

uint64_t SalesTable::keyOf(const Plu& plu) {
    uint64_t key = 0;
    for (uint8_t b : plu.bcd())
        key = key << 8 | b;
    return key;
}

PluSale* SalesTable::find(const Plu& plu) {
    auto it = index_.find(keyOf(plu));
    return it == index_.end() ? nullptr : &it->second->sale;
}

PluSale& SalesTable::at(const Plu& plu) {
    auto [it, added] = index_.try_emplace(keyOf(plu));
    if (added) {
        Chain& chain = buckets_[bucketOf(plu)];
        chain.push_front(Entry{plu, PluSale{}});
        it->second = chain.begin();
    }
    return it->second->sale;
}

SumLimit SalesTable::add(const Plu& plu, int slot, int32_t quantity) {
    return addWithinRange(at(plu).quantity[size_t(slot)], quantity);
}

void SalesTable::load(const Plu& plu, const PluSale& sale) {
    auto [it, added] = index_.try_emplace(keyOf(plu));
    if (!added) {
        it->second->sale = sale;
        return;
    }
    Chain& chain = buckets_[bucketOf(plu)];
    it->second = chain.insert(chain.end(), Entry{plu, sale});
}

bool SalesTable::remove(const Plu& plu) {
    auto it = index_.find(keyOf(plu));
    if (it == index_.end())
        return false;
    buckets_[bucketOf(plu)].erase(it->second);
    index_.erase(it);
    ++removals_;
    return true;
}

void SalesTable::clear() {
    for (Chain& chain : buckets_)
        chain.clear();
    index_.clear();
    ++removals_;
}

void SalesTable::forEach(const std::function<void(const Entry&)>& f) const {
    for (const Chain& chain : buckets_)
        for (const Entry& e : chain)
            f(e);
}

void SalesTable::forEachMutable(const std::function<bool(Entry&)>& f) {
    for (Chain& chain : buckets_) {
        for (auto it = chain.begin(); it != chain.end();) {
            if (f(*it)) {
                ++it;
            } else {
                index_.erase(keyOf(it->plu));
                it = chain.erase(it);
                ++removals_;
            }
        }
    }
}

bool SalesTable::walkStep(Walk& walk, const std::function<bool(Entry&)>& keep) {
    if (walk.bucket_ >= BUCKETS)
        return false;
    if (!walk.placed_) {
        walk.next_ = buckets_[walk.bucket_].begin();
        walk.placed_ = true;
    } else if (walk.removals_ != removals_) {
        relocate(walk);
    }
    while (walk.next_ == buckets_[walk.bucket_].end()) {
        if (++walk.bucket_ >= BUCKETS)
            return false;
        walk.next_ = buckets_[walk.bucket_].begin();
        walk.position_ = 0;
        walk.hasLast_ = false;
    }
    Chain& chain = buckets_[walk.bucket_];
    if (keep(*walk.next_)) {
        walk.lastKey_ = keyOf(walk.next_->plu);
        walk.hasLast_ = true;
        ++walk.next_;
        ++walk.position_;
    } else {
        index_.erase(keyOf(walk.next_->plu));
        walk.next_ = chain.erase(walk.next_);
        ++removals_;
    }
    walk.removals_ = removals_;
    walk.hasNext_ = walk.next_ != chain.end();
    if (walk.hasNext_)
        walk.nextKey_ = keyOf(walk.next_->plu);
    return true;
}

void SalesTable::relocate(Walk& walk) {
    Chain& chain = buckets_[walk.bucket_];
    walk.removals_ = removals_;
    if (!walk.hasNext_) {
        walk.next_ = chain.end();  // new entries go to the head, never after the tail
        return;
    }
    auto found = index_.find(walk.nextKey_);
    if (found != index_.end()) {
        walk.next_ = found->second;
        return;
    }
    found = walk.hasLast_ ? index_.find(walk.lastKey_) : index_.end();
    if (found != index_.end()) {
        walk.next_ = std::next(found->second);
        return;
    }
    walk.next_ = chain.begin();
    for (size_t i = 0; i < walk.position_ && walk.next_ != chain.end(); ++i)
        ++walk.next_;
}

const SalesTable::Entry* SalesTable::entryAt(size_t index) const {
    for (const Chain& chain : buckets_) {
        if (index < chain.size()) {
            auto it = chain.begin();
            std::advance(it, index);
            return &*it;
        }
        index -= chain.size();
    }
    return nullptr;
}

}  // namespace kos
