#include "articles/ArticleConfirm.h"

namespace kos {

namespace {

ArticleCheck refuse(std::string message, ArticleControl focus) {
    return ArticleCheck{false, std::move(message), focus};
}

}  // namespace

ArticleInput articleDialogInput(const EcrDoc& doc, const Article& article, bool isNew) {
    ArticleInput in;
    if (isNew) {
        Plu next = doc.lastPlu;
        next.increment();
        in.pluText = next.toString();
        in.vatIndex = 0;
        in.openPrice = doc.lastOpenPrice;
    } else {
        in.pluText = article.plu.toString();
        in.vatIndex = article.vat < VAT_RATES ? article.vat : -1;
        in.openPrice = article.openPrice;
    }
    in.name = article.name;
    in.priceText = formatDecimal(article.price, PRICE_LIMITS.decimals);
    return in;
}

ArticleCheck confirmArticle(EcrDoc& doc, Article& article, bool isNew, const ArticleInput& input) {
    int64_t price = 0;
    if (input.priceEnabled) {
        const DecimalError e = readDecimal(input.priceText, PRICE_LIMITS, price);
        if (e != DecimalError::None)
            return refuse(decimalMessage(e), ArticleControl::Price);
    }

    Plu plu;
    if (!plu.parse(input.pluText))
        return refuse("Niepoprawny numer PLU.", ArticleControl::Plu);
    if ((isNew || plu != article.plu) && doc.articles.findByPlu(plu) >= 0)
        return refuse("Artykuł o takim plu juz istnieje.", ArticleControl::Plu);
    article.plu = plu;

    const std::string name = normalizeName(input.name);
    if (name.empty())
        return refuse("Nieokreślona nazwa towaru.", ArticleControl::Name);
    if ((isNew || !article.nameEquals(name)) && doc.articles.findByName(name) >= 0)
        return refuse("Towar o podanej nazwie już istnieje.", ArticleControl::Name);
    article.name = name;

    if (input.vatIndex < 0 || input.vatIndex >= VAT_RATES)
        return refuse("Nieokreślona stawka podatkowa.", ArticleControl::Vat);
    article.vat = static_cast<uint8_t>(input.vatIndex);
    article.openPrice = input.openPrice;
    article.price = static_cast<int32_t>(price);
    doc.lastPlu = article.plu;
    doc.lastOpenPrice = article.openPrice;
    return {};
}

}  // namespace kos
