// The ordered article list of a document, or a temporary selection of a document's articles.
// `add` keeps PLUs unique, names unique once spaces are removed, and inserts in ascending PLU
// order; loading appends as the file has it. Two hash counts and the list's PLU keys stand
// beside the list so that a check costs no walk over 12,600 names.
//
// The PLU and name of a listed article change only through `update`, which keeps those counts
// right; every other field may be written directly through getAt.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "articles/Article.h"

namespace kos {

class Articles {
public:
    static constexpr int MaxArticles = 12600;
    static constexpr const char* CLASS_NAME = "Articles";
    static constexpr uint16_t SCHEMA = 1;

    // An owning list destroys what it removes; a borrowing one (a selection of a document's
    // articles for one command) only unlinks it. Either is emptied with detachAll when its
    // articles must live on.
    enum class Ownership { Owning, Borrowing };

    explicit Articles(Ownership ownership = Ownership::Owning) : ownership_(ownership) {}
    ~Articles() { removeAll(); }
    Articles(const Articles&) = delete;
    Articles& operator=(const Articles&) = delete;

    bool owning() const { return ownership_ == Ownership::Owning; }
    int count() const { return static_cast<int>(list_.size()); }
    Article* getAt(int index) const { return list_[static_cast<size_t>(index)]; }
    std::vector<Article*>::const_iterator begin() const { return list_.begin(); }
    std::vector<Article*>::const_iterator end() const { return list_.end(); }

    // Refused when full, when the name or the PLU is taken; otherwise inserted before the first
    // article with a greater PLU. An owning list takes the article over only on success.
    bool add(Article* article);
    // The same; the pointer is released on success and keeps the refused article otherwise.
    bool add(std::unique_ptr<Article>& article);
    // Appends without checks (loading a file, whose PLUs and names are taken as unique).
    void append(std::unique_ptr<Article> article);

    int findByPlu(const Plu& plu) const;
    // First article whose name equals text once spaces are removed from both, or -1.
    int findByName(const std::string& text) const;
    int indexOf(const Article* article) const;

    // Unlinks the article (and destroys it when owning); false when it is not listed.
    bool remove(Article* article);
    void removeAll();
    void detachAll();
    // Exchanges the contents (not the ownership) of two lists.
    void swap(Articles& other);

    // Copies every field of values into the article at index; it keeps its place in the list.
    void update(int index, const Article& values);

private:
    static uint64_t key(const Plu& plu);
    void count(const Article& a, int delta);

    Ownership ownership_;
    std::vector<Article*> list_;
    std::vector<uint64_t> keys_;  // PLU of list_[i] as a number, same order
    std::unordered_map<uint64_t, int> plus_;
    std::unordered_map<std::string, int> names_;  // name keys (spaces removed)
};

}  // namespace kos
