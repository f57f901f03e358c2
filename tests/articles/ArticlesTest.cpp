// The list's add rules, its limit, owning and borrowing lists, and edits through update.
#include <gtest/gtest.h>

#include "ArticleSupport.h"
#include "articles/Articles.h"

namespace kos::test {
namespace {

std::string plus(const Articles& list) {
    std::string s;
    for (const Article* a : list)
        s += a->plu.toString().substr(11) + " ";
    return s;
}

TEST(Articles, AddRefusesTakenNamesAndPlusAndInsertsBeforeTheFirstGreaterPlu) {
    Articles list;
    // A loaded list keeps its own order; add walks it from the start.
    list.append(makeArticle("30", "C"));
    list.append(makeArticle("10", "A"));
    struct Case {
        const char* plu;
        const char* name;
        bool added;
        const char* order;
    };
    const Case cases[] = {
        {"20", "COLA 1", true, "020 030 010 "},       {"21", "COLA1", false, "020 030 010 "},
        {"22", " C O L A 1 ", false, "020 030 010 "}, {"10", "NEW", false, "020 030 010 "},
        {"40", "cola1", true, "020 030 010 040 "},  // case counts
        {"5", "E", true, "005 020 030 010 040 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.plu) + " " + c.name);
        auto a = makeArticle(c.plu, c.name);
        EXPECT_EQ(c.added, list.add(a));
        EXPECT_EQ(c.added, a == nullptr);  // a refused article stays with the caller
        EXPECT_EQ(c.order, plus(list));
    }
    EXPECT_EQ(1, list.findByName("COLA1"));
    EXPECT_EQ(1, list.findByName("CO LA 1"));
    EXPECT_EQ(-1, list.findByName("COLA 2"));
    Plu p;
    p.parse("10");
    EXPECT_EQ(3, list.findByPlu(p));

    // Edited in place: the old PLU and name are free again, the new ones taken.
    Article edited = *list.getAt(3);
    edited.plu.parse("11");
    edited.name = "B";
    list.update(3, edited);
    EXPECT_EQ(-1, list.findByPlu(p));
    EXPECT_EQ(-1, list.findByName("A"));
    auto again = makeArticle("12", "B");
    EXPECT_FALSE(list.add(again));
    auto old = makeArticle("10", "A");
    EXPECT_TRUE(list.add(old));
}

TEST(Articles, FullListRefusesTheNextArticle) {
    Articles list;
    for (int i = 1; i <= Articles::MaxArticles; ++i) {
        auto a = makeArticle(std::to_string(i), "N" + std::to_string(i));
        ASSERT_TRUE(list.add(a));
    }
    auto next = makeArticle("99999", "NEXT");
    EXPECT_FALSE(list.add(next));
    EXPECT_EQ(Articles::MaxArticles, list.count());
    list.remove(list.getAt(0));
    EXPECT_TRUE(list.add(next));
}

TEST(Articles, BorrowingListsNeverDestroyTheDocumentsArticles) {
    Articles document;
    for (const char* plu : {"3", "1", "2"}) {
        auto a = makeArticle(plu, std::string("N") + plu);
        ASSERT_TRUE(document.add(a));
    }
    {
        Articles selection(Articles::Ownership::Borrowing);
        ASSERT_TRUE(selection.add(document.getAt(2)));
        ASSERT_TRUE(selection.add(document.getAt(0)));
        EXPECT_EQ("001 003 ", plus(selection));
        EXPECT_TRUE(selection.remove(document.getAt(0)));
        EXPECT_FALSE(selection.remove(document.getAt(1)));
        selection.getAt(0)->modified = false;
    }  // destroyed with an article still listed
    EXPECT_FALSE(document.getAt(2)->modified);
    EXPECT_EQ("001 002 003 ", plus(document));
    EXPECT_TRUE(document.remove(document.getAt(1)));
    EXPECT_EQ("001 003 ", plus(document));
}

}  // namespace
}  // namespace kos::test
