#include "online/SalesTable.h"

namespace kos {

PluSale* SalesTable::find(const Plu& plu) {
    for (Entry& e : buckets_[bucketOf(plu)])
        if (e.plu == plu)
            return &e.sale;
    return nullptr;
}

PluSale& SalesTable::at(const Plu& plu) {
    if (PluSale* s = find(plu))
        return *s;
    auto& chain = buckets_[bucketOf(plu)];
    chain.push_front(Entry{plu, PluSale{}});
    ++size_;
    return chain.front().sale;
}

void SalesTable::load(const Plu& plu, const PluSale& sale) {
    if (PluSale* s = find(plu)) {
        *s = sale;
        return;
    }
    buckets_[bucketOf(plu)].push_back(Entry{plu, sale});
    ++size_;
}

bool SalesTable::remove(const Plu& plu) {
    auto& chain = buckets_[bucketOf(plu)];
    for (auto it = chain.begin(); it != chain.end(); ++it) {
        if (it->plu == plu) {
            chain.erase(it);
            --size_;
            return true;
        }
    }
    return false;
}

void SalesTable::clear() {
    for (auto& chain : buckets_)
        chain.clear();
    size_ = 0;
}

void SalesTable::forEach(const std::function<void(const Entry&)>& f) const {
    for (const auto& chain : buckets_)
        for (const Entry& e : chain)
            f(e);
}

void SalesTable::forEachMutable(const std::function<bool(Entry&)>& f) {
    for (auto& chain : buckets_) {
        for (auto it = chain.begin(); it != chain.end();) {
            if (f(*it)) {
                ++it;
            } else {
                it = chain.erase(it);
                --size_;
            }
        }
    }
}

const SalesTable::Entry* SalesTable::entryAt(size_t index) const {
    for (const auto& chain : buckets_) {
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
