// The text form: the exact copy line, every paste message with its line number, the duplicate
// question, and copy pasted into an empty document giving the same articles.
#include <gtest/gtest.h>

#include "ArticleSupport.h"
#include "articles/ArticleText.h"
#include "support/ScriptedPrompt.h"

namespace kos::test {
namespace {

VatTexts defaultVat() {
    return vatTexts(defaultSettings());
}

const std::string GOOD = "x\t00000000000012\tCOLA\t2,50\tNIE\tA 22%\t1,500\t3,75\n";

TEST(ArticleText, CopyWritesTheLineOfEachArticle) {
    EcrDoc doc;
    auto cola = makeArticle("12", "COLA");
    cola->modified = false;
    cola->saleQuantity = 1500;
    cola->saleValue = 375;
    auto odd = makeArticle("7", "\xA3YSKA");  // "ŁYSKA"
    odd->vat = VAT_UNDEFINED;
    odd->openPrice = true;
    odd->price = -1;
    odd->saleQuantity = -5;
    ASSERT_TRUE(doc.articles.add(cola));
    ASSERT_TRUE(doc.articles.add(odd));
    EXPECT_EQ(" \t00000000000007\t\xA3YSKA\t0,01\tTAK\t\t0,005\t0,00\n" + GOOD,
              copyArticles(doc.articles, defaultVat()));
}

TEST(ArticleText, PasteReportsTheFirstBadLineByNumber) {
    const std::string tail = "\tNIE\tA\t1\t1\n";
    struct Case {
        std::string line2;
        const char* message;
    };
    const Case cases[] = {
        {"x\t0\tB\t1" + tail, "Linia 2 - niepoprawny format PLU 0."},
        {"x\t2\tB\t-1" + tail, "Linia 2 - niepoprawny format ceny -1."},
        {"x\t2\tB\t1,234" + tail, "Linia 2 - niepoprawny format ceny 1,234."},
        {"x\t2\tB\t1\tNIE\ta 22%\t1\t1\n", "Linia 2 - niepoprawny numer stawki podatkowej a 22%."},
        {"x\t2\tB\t1\tNIE\t A\t1\t1\n", "Linia 2 - niepoprawny numer stawki podatkowej  A."},
        {"x\t2\tB\t1\tNIE\tH\t1\t1\n", "Linia 2 - niepoprawny numer stawki podatkowej H."},
        {"x\t2\tB\t1\tNIE\tA\t1,2345\t1\n",
         "Linia 2 - niepoprawny format ilości sprzedaży 1,2345."},
        {"x\t2\tB\t1\tNIE\tA\t1\t100000\n",
         "Linia 2 - niepoprawny format wartości sprzedaży 100000."},
        {"x\t2\tB\t1\tNIE\tA\t\t1\n", "Linia 2 - niepoprawny format."},
        {"x\t2\tB\t1\tNIE\tA\t1\t\n", "Linia 2 - niepoprawny format."},
        {"x\t2\tB\t1\tNIE\tA\t1\t1", "Linia 2 - niepoprawny format."},
        {"x\t2\tB\t1\tNIE\tA\t1\t1\t\n", "Linia 2 - niepoprawny format."},
        {"x\t2\tB\t1\tNIE\tA\t1\n", "Linia 2 - niepoprawny format."},
        {"x\t2\tB\r\t1" + tail, "Linia 2 - niepoprawny format."},
        {"x\t2\tB\t1\tNIE\tA\t1\t1\rx\n", "Linia 2 - niepoprawny format."},
        {"\n", "Linia 2 - niepoprawny format."},
        {"x\t2\t" + std::string(120, 'n') + "\tx\tNIE\tA\t1\t1\n",
         "Linia 2 - niepoprawny format ceny x."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line2);
        EcrDoc doc;
        ScriptedPrompt prompt;
        // A line without LF is the last one.
        const std::string after = c.line2.back() == '\n' ? GOOD : "";
        const PasteResult r = pasteArticles(doc, GOOD + c.line2 + after, prompt);
        EXPECT_FALSE(r.complete);
        EXPECT_EQ(1, r.added);  // line 1 stays
        EXPECT_EQ(1, doc.articles.count());
        EXPECT_TRUE(doc.isModified());
        ASSERT_EQ(1u, prompt.shown.size());
        EXPECT_EQ(c.message, prompt.shown[0].text);
        EXPECT_EQ(PromptIcon::None, prompt.shown[0].icon);
    }
}

TEST(ArticleText, PasteConvertsFieldsAndAsksAboutDuplicates) {
    EcrDoc doc;
    ScriptedPrompt prompt;
    prompt.answers = {true, false};
    const std::string text =
        " \t5\t  abcdefghij klmnopqrstuvwxyz  \t\tTAK\tB\t1,5\t0,5   \r\n"  // 1
        "x\t00000000000012\tCOLA\t2,50\tNIE\tA 22%\t1,500\t3,75\r\n"        // 2
        "x\t6\tC O L A\t1\tNIE\tA\t1\t1\n"                                  // 3: same name
        "x\t7\tD\t1\tNIE\tA\t1\t1\n"                                        // 4
        "x\t12\tE\t1\tNIE\tA\t1\t1\n"                                       // 5: same PLU, No
        "x\t8\tF\t1\tNIE\tA\t1\t1\n";
    const PasteResult r = pasteArticles(doc, text, prompt);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(3, r.added);
    EXPECT_EQ(5, r.lines);
    ASSERT_EQ(2u, prompt.shown.size());
    EXPECT_EQ(
        "Atykuł o podanej nazwie 'C O L A'  lub PLU 00000000000006 już istnieje.\n"
        "Czy chcesz dodać pozostałe artykuły?",
        prompt.shown[0].text);
    EXPECT_EQ(PromptIcon::Question, prompt.shown[1].icon);
    ASSERT_EQ(3, doc.articles.count());
    const Article& first = *doc.articles.getAt(0);
    EXPECT_EQ("00000000000005", first.plu.toString());
    EXPECT_EQ("ABCDEFGHIJ KLMNOPQ", first.name);
    EXPECT_EQ(-1, first.price);
    EXPECT_TRUE(first.openPrice);
    EXPECT_TRUE(first.modified);
    EXPECT_EQ(1, first.vat);
    EXPECT_EQ(1500, first.saleQuantity);
    EXPECT_EQ(50, first.saleValue);
    EXPECT_EQ("00000000000007", doc.articles.getAt(1)->plu.toString());
    EXPECT_FALSE(doc.articles.getAt(2)->modified);
}

TEST(ArticleText, CopyPastedIntoAnEmptyDocumentGivesTheSameFile) {
    EcrDoc doc;
    for (int i = 1; i <= 50; ++i) {
        auto a = makeArticle(std::to_string(i * 37), "ART \xA5 " + std::to_string(i), i * 99);
        a->modified = i % 2;
        a->openPrice = i % 3 == 0;
        a->vat = static_cast<uint8_t>(i % VAT_RATES);
        a->saleQuantity = i * 1234;
        a->saleValue = i * 567;
        ASSERT_TRUE(doc.articles.add(a));
    }
    EcrDoc pasted;
    ScriptedPrompt prompt;
    const PasteResult r = pasteArticles(pasted, copyArticles(doc.articles, defaultVat()), prompt);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(50, r.added);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(doc.toDat(), pasted.toDat());
}

}  // namespace
}  // namespace kos::test
