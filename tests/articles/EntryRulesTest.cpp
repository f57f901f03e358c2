// The decimal entry field, the article dialog's confirmation, and header line alignment.
#include <gtest/gtest.h>

#include "ArticleSupport.h"
#include "articles/ArticleConfirm.h"
#include "articles/ECRHeader.h"

namespace kos::test {
namespace {

TEST(DecimalField, ParsesChecksAndScales) {
    struct Case {
        std::string text;
        DecimalLimits limits;
        DecimalError error;
        int64_t value;
    };
    const DecimalLimits price{5, 2, false}, quantity{5, 3, false}, signedPrice{5, 2, true};
    const Case cases[] = {
        {"12,5", price, DecimalError::None, 1250},
        {"12.5", price, DecimalError::None, 1250},
        {" \t+12,50 \t", price, DecimalError::None, 1250},
        {"99999,99", price, DecimalError::None, 9999999},
        {"000000012", price, DecimalError::None, 1200},
        {"1,5", quantity, DecimalError::None, 1500},
        {"1,05", quantity, DecimalError::None, 1050},
        {"-0,5", signedPrice, DecimalError::None, -50},
        {"100000", price, DecimalError::IntegerDigits, 0},
        {"1,234", price, DecimalError::Decimals, 0},
        {"1,2345", quantity, DecimalError::Decimals, 0},
        {"-1", price, DecimalError::Negative, 0},
        {"-100000,123", price, DecimalError::Negative, 0},
        {"1,2x", price, DecimalError::Format, 0},
        {"", price, DecimalError::Format, 0},
        {",5", price, DecimalError::Format, 0},
        {"1 2", price, DecimalError::Format, 0},
        {"1234567890", price, DecimalError::Format, 0},
        {"1,1234567890", price, DecimalError::Format, 0},
        {std::string(98, ' ') + "12", price, DecimalError::None, 100},  // 99 characters read
        {std::string(99, ' ') + "12", price, DecimalError::Format, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int64_t v = 0;
        EXPECT_EQ(c.error, readDecimal(c.text, c.limits, v));
        EXPECT_EQ(c.value, v);
    }
    EXPECT_EQ("Za dużo cyfr w części całkowitej.", decimalMessage(DecimalError::IntegerDigits));
    EXPECT_EQ("12,50", formatDecimal(1250, 2));
    EXPECT_EQ("-0,05", formatDecimal(-5, 2));
    EXPECT_EQ("1,500", formatDecimal(1500, 3));
    EXPECT_EQ("7", formatDecimal(7, 0));
}

TEST(ArticleConfirm, ChecksInOrderAndFocusesTheControl) {
    EcrDoc doc;
    auto cola = makeArticle("12", "COLA 1");
    ASSERT_TRUE(doc.articles.add(cola));
    struct Case {
        const char* what;
        bool isNew;
        ArticleInput input;
        const char* message;
        ArticleControl focus;
    };
    const ArticleInput ok{"13",
                          " piwo \xbf"
                          "ywiec ",
                          "12,5",
                          true,
                          1,
                          true};
    auto with = [&ok](auto change) {
        ArticleInput in = ok;
        change(in);
        return in;
    };
    const Case cases[] = {
        {"price first", true, with([](ArticleInput& i) {
             i.priceText = "1,2x";
             i.pluText = "";
         }),
         "Niepoprawny format liczby.", ArticleControl::Price},
        {"bad PLU", true, with([](ArticleInput& i) { i.pluText = "00000000000000"; }),
         "Niepoprawny numer PLU.", ArticleControl::Plu},
        {"taken PLU", true, with([](ArticleInput& i) { i.pluText = "0012"; }),
         "Artykuł o takim plu juz istnieje.", ArticleControl::Plu},
        {"blank name", true, with([](ArticleInput& i) { i.name = " \t"; }),
         "Nieokreślona nazwa towaru.", ArticleControl::Name},
        {"taken name", true, with([](ArticleInput& i) { i.name = "cola1"; }),
         "Towar o podanej nazwie już istnieje.", ArticleControl::Name},
        {"no VAT", true, with([](ArticleInput& i) { i.vatIndex = -1; }),
         "Nieokreślona stawka podatkowa.", ArticleControl::Vat},
        {"own PLU and name when editing", false, with([](ArticleInput& i) {
             i.pluText = "12";
             i.name = "COLA1";
         }),
         "", ArticleControl::None},
        {"new article", true, ok, "", ArticleControl::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Article article = c.isNew ? Article() : *doc.articles.getAt(0);
        const ArticleCheck check = confirmArticle(doc, article, c.isNew, c.input);
        EXPECT_EQ(c.message, check.message);
        EXPECT_EQ(c.focus, check.focus);
        EXPECT_EQ(check.message.empty(), check.ok);
    }
    Article article;
    ASSERT_TRUE(confirmArticle(doc, article, true, ok).ok);
    EXPECT_EQ("PIWO \xAFYWIEC", article.name);
    EXPECT_EQ(1250, article.price);
    EXPECT_EQ(1, article.vat);
    EXPECT_EQ("00000000000013", doc.lastPlu.toString());
    EXPECT_TRUE(doc.lastOpenPrice);
    EXPECT_EQ("00000000000014", articleDialogInput(doc, Article(), true).pluText);

    // Fourteen nines wrap to a proposal the dialog refuses.
    doc.lastPlu.parse("99999999999999");
    const ArticleInput wrapped = articleDialogInput(doc, Article(), true);
    EXPECT_EQ("00000000000000", wrapped.pluText);
    EXPECT_EQ("0,00", wrapped.priceText);
    EXPECT_EQ(0, wrapped.vatIndex);
    Article fresh;
    EXPECT_EQ("Niepoprawny numer PLU.", confirmArticle(doc, fresh, true, with([&](ArticleInput& i) {
                                                           i.pluText = wrapped.pluText;
                                                       }))
                                            .message);
}

TEST(ECRHeader, AlignedLine) {
    const struct {
        const char* text;
        uint8_t alignment;
        std::string sent;
    } cases[] = {
        {"ABC", ECRHeader::CENTRE, std::string(7, ' ') + "ABC"},
        {"ABC", ECRHeader::RIGHT, std::string(15, ' ') + "ABC"},
        {"ABC", ECRHeader::LEFT, "ABC"},
        {"12345678901234567", ECRHeader::CENTRE, "12345678901234567"},
        {"", ECRHeader::LEFT, ""},
        {"", ECRHeader::RIGHT, std::string(18, ' ')},
        {"1234567890123456789", ECRHeader::RIGHT, "1234567890123456789"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.sent, ECRHeader::alignedLine(c.text, c.alignment)) << c.text;
}

}  // namespace
}  // namespace kos::test
