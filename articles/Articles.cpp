#include "articles/Articles.h"

#include <algorithm>

namespace kos {

uint64_t Articles::key(const Plu& plu) {
    uint64_t k = 0;
    for (uint8_t b : plu.bcd())
        k = (k << 8) | b;
    return k;
}

void Articles::count(const Article& a, int delta) {
    auto bump = [delta](auto& map, const auto& k) {
        auto it = map.emplace(k, 0).first;
        it->second += delta;
        if (it->second <= 0)
            map.erase(it);
    };
    bump(plus_, key(a.plu));
    bump(names_, nameKey(a.name));
}

bool Articles::add(Article* article) {
    if (count() >= MaxArticles)
        return false;
    if (names_.count(nameKey(article->name)) || plus_.count(key(article->plu)))
        return false;
    const uint64_t k = key(article->plu);
    const auto at = std::find_if(keys_.begin(), keys_.end(), [k](uint64_t x) { return x > k; });
    const auto pos = at - keys_.begin();
    keys_.insert(at, k);
    list_.insert(list_.begin() + pos, article);
    count(*article, 1);
    return true;
}

bool Articles::add(std::unique_ptr<Article>& article) {
    if (!add(article.get()))
        return false;
    article.release();
    return true;
}

void Articles::append(std::unique_ptr<Article> article) {
    count(*article, 1);
    keys_.push_back(key(article->plu));
    list_.push_back(article.release());
}

int Articles::findByPlu(const Plu& plu) const {
    const uint64_t k = key(plu);
    if (!plus_.count(k))
        return -1;
    return static_cast<int>(std::find(keys_.begin(), keys_.end(), k) - keys_.begin());
}

int Articles::findByName(const std::string& text) const {
    const std::string k = nameKey(text);
    if (!names_.count(k))
        return -1;
    for (size_t i = 0; i < list_.size(); ++i)
        if (nameKey(list_[i]->name) == k)
            return static_cast<int>(i);
    return -1;
}

int Articles::indexOf(const Article* article) const {
    const auto it = std::find(list_.begin(), list_.end(), article);
    return it == list_.end() ? -1 : static_cast<int>(it - list_.begin());
}

bool Articles::remove(Article* article) {
    const int i = indexOf(article);
    if (i < 0)
        return false;
    count(*article, -1);
    list_.erase(list_.begin() + i);
    keys_.erase(keys_.begin() + i);
    if (owning())
        delete article;
    return true;
}

void Articles::removeAll() {
    if (owning())
        for (Article* a : list_)
            delete a;
    detachAll();
}

void Articles::detachAll() {
    list_.clear();
    keys_.clear();
    plus_.clear();
    names_.clear();
}

void Articles::swap(Articles& other) {
    list_.swap(other.list_);
    keys_.swap(other.keys_);
    plus_.swap(other.plus_);
    names_.swap(other.names_);
}

void Articles::update(int index, const Article& values) {
    Article* a = getAt(index);
    count(*a, -1);
    *a = values;
    keys_[static_cast<size_t>(index)] = key(a->plu);
    count(*a, 1);
}

}  // namespace kos
