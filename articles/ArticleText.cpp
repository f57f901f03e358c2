#include "articles/ArticleText.h"

#include <cinttypes>
#include <cstdio>
#include <memory>

#include "articles/DecimalField.h"
#include "base/Codepage.h"

namespace kos {

namespace {

constexpr size_t FIELD_LIMIT = 99;
constexpr int FIELDS = 8;
constexpr DecimalLimits PRICE{5, 2, false};
constexpr DecimalLimits QUANTITY{5, 3, false};
constexpr DecimalLimits VALUE{5, 2, false};

enum class End { Tab, Lf, LoneCr, Text };

// One field from text at i: up to FIELD_LIMIT characters kept, the rest up to TAB or LF
// skipped; CR LF counts as LF.
End readField(const std::string& text, size_t& i, std::string& field) {
    field.clear();
    bool over = false;
    while (i < text.size()) {
        const char c = text[i++];
        if (c == '\t')
            return End::Tab;
        if (c == '\n')
            return End::Lf;
        if (c == '\r' && !over) {
            if (i < text.size() && text[i] == '\n') {
                ++i;
                return End::Lf;
            }
            return End::LoneCr;
        }
        if (field.size() < FIELD_LIMIT)
            field += c;
        else
            over = true;
    }
    return End::Text;
}

// "%ld,%0*ld" of the absolute value.
void appendUnsigned(std::string& out, int32_t value, int64_t scale, int digits) {
    int64_t v = value;
    if (v < 0)
        v = -v;
    char buf[32];
    snprintf(buf, sizeof buf, "%" PRId64 ",%0*" PRId64, v / scale, digits, v % scale);
    out += buf;
}

std::string formatError(int line) {
    return "Linia " + std::to_string(line) + " - niepoprawny format.";
}

// "Linia %d - <what> %s." with the field as read.
std::string lineMessage(int line, const char* what, const std::string& field) {
    return "Linia " + std::to_string(line) + " - " + what + " " + cp1250ToUtf8(field) + ".";
}

// Converts field number f (1..8) into the article; the message of its failure, or empty.
std::string takeField(int f, const std::string& field, int line, Article& a) {
    int64_t v = 0;
    switch (f) {
        case 1:
            a.modified = field == " ";
            break;
        case 2:
            if (!a.plu.parse(field))
                return lineMessage(line, "niepoprawny format PLU", field);
            break;
        case 3:
            a.name = normalizeName(field).substr(0, ARTICLE_NAME_LIMIT);
            break;
        case 4:
            if (field.empty())
                a.price = -1;
            else if (readDecimal(field, PRICE, v) != DecimalError::None)
                return lineMessage(line, "niepoprawny format ceny", field);
            else
                a.price = static_cast<int32_t>(v);
            break;
        case 5:
            a.openPrice = field == "TAK";
            break;
        case 6:
            if (field.empty() || field[0] < 'A' || field[0] >= 'A' + VAT_RATES)
                return lineMessage(line, "niepoprawny numer stawki podatkowej", field);
            a.vat = static_cast<uint8_t>(field[0] - 'A');
            break;
        case 7:
        case 8: {
            if (field.empty())
                return formatError(line);
            const bool quantity = f == 7;
            if (readDecimal(field, quantity ? QUANTITY : VALUE, v) != DecimalError::None)
                return lineMessage(line,
                                   quantity ? "niepoprawny format ilości sprzedaży"
                                            : "niepoprawny format wartości sprzedaży",
                                   field);
            (quantity ? a.saleQuantity : a.saleValue) = static_cast<int32_t>(v);
            break;
        }
        default:
            break;
    }
    return {};
}

}  // namespace

VatTexts vatTexts(const Settings& settings) {
    VatTexts texts;
    for (int i = 0; i < VAT_RATES; ++i)
        texts[static_cast<size_t>(i)] = utf8ToCp1250(settings.ptu[static_cast<size_t>(i)]);
    return texts;
}

std::string vatColumn(uint8_t vat, const VatTexts& texts) {
    if (vat >= VAT_RATES)
        return {};
    return std::string(1, static_cast<char>('A' + vat)) + ' ' + texts[vat];
}

void appendArticleLine(std::string& out, const Article& a, const VatTexts& texts) {
    char plu[Plu::TEXT_SIZE];
    out += a.modified ? " " : "x";
    out += '\t';
    out += a.plu.text(plu);
    out += '\t';
    out += a.name;
    out += '\t';
    appendUnsigned(out, a.price, 100, 2);
    out += '\t';
    out += a.openPrice ? "TAK" : "NIE";
    out += '\t';
    out += vatColumn(a.vat, texts);
    out += '\t';
    appendUnsigned(out, a.saleQuantity, 1000, 3);
    out += '\t';
    appendUnsigned(out, a.saleValue, 100, 2);
    out += '\n';
}

std::string copyArticles(const Articles& articles, const VatTexts& texts) {
    std::string out;
    out.reserve(static_cast<size_t>(articles.count()) * 64);
    for (const Article* a : articles)
        appendArticleLine(out, *a, texts);
    return out;
}

PasteResult pasteArticles(EcrDoc& doc, const std::string& text, Prompt& prompt,
                          const std::function<void(Article&)>& onAdded) {
    PasteResult result;
    size_t i = 0;
    std::string field;
    while (i < text.size()) {
        const int line = ++result.lines;
        auto article = std::make_unique<Article>();
        for (int f = 1; f <= FIELDS; ++f) {
            const End end = readField(text, i, field);
            std::string message = takeField(f, field, line, *article);
            if (message.empty() && end != (f < FIELDS ? End::Tab : End::Lf))
                message = formatError(line);
            if (!message.empty()) {
                prompt.message(message, PromptIcon::None);
                result.complete = false;
                return result;
            }
        }
        Article& added = *article;
        if (doc.articles.add(article)) {
            doc.setModified();
            ++result.added;
            if (onAdded)
                onAdded(added);
            continue;
        }
        const std::string question = "Atykuł o podanej nazwie '" + cp1250ToUtf8(added.name) +
                                     "'  lub PLU " + added.plu.toString() +
                                     " już istnieje.\nCzy chcesz dodać pozostałe artykuły?";
        if (!prompt.ask(question)) {
            result.complete = false;
            return result;
        }
    }
    return result;
}

}  // namespace kos
