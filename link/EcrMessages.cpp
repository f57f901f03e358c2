#include "link/EcrMessages.h"

#include <cstring>

#include "link/Plu.h"
#include "link/TX310Text.h"
#include "link/Tx310Codes.h"

namespace kos {

namespace {

std::string boundedText(const char* text, size_t size) {
    return std::string(text, strnlen(text, size));
}

bool allDigits(const std::string& text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

}  // namespace

bool fitsInField(const std::string& text) {
    return text.find(';') == std::string::npos;
}

bool articleFitsInMessage(const EcrArticle& article) {
    return fitsInField(boundedText(article.plu, sizeof article.plu)) &&
           fitsInField(toEcrText(boundedText(article.name, sizeof article.name)));
}

std::string articleWriteMessage(const EcrArticle& article) {
    std::string name = toEcrText(boundedText(article.name, sizeof article.name));
    return "W0;" + boundedText(article.plu, sizeof article.plu) + ";" + name + ";" +
           std::to_string(article.vat + 1) + ";" + std::to_string(article.price) + ";" +
           (article.openPrice ? "1" : "0") + ";";
}

std::string articleDeleteMessage(const EcrArticle& article) {
    return "C0;" + boundedText(article.plu, sizeof article.plu) + ";";
}

bool parseEcrInteger(const std::string& text, long& value) {
    std::string digits = text;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.erase(0, 1);
    }
    if (!allDigits(digits, 9))
        return false;
    value = std::stol(digits);
    if (negative)
        value = -value;
    return true;
}

bool parseEcrDecimal(const std::string& text, int scale, int32_t& value) {
    std::string body = text;
    bool negative = false;
    if (!body.empty() && (body[0] == '-' || body[0] == '+')) {
        negative = body[0] == '-';
        body.erase(0, 1);
    }
    size_t dot = body.find('.');
    std::string whole = body.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : body.substr(dot + 1);
    if (!allDigits(whole, 9))
        return false;
    long long frac = 0;
    if (!fraction.empty()) {
        if (!allDigits(fraction, 9))
            return false;
        frac = std::stoll(fraction);
        if (frac >= scale)
            return false;
    }
    // The sign covers the whole value, so -1.50 is minus one and a half.
    long long v = std::stoll(whole) * scale + frac;
    if (negative)
        v = -v;
    if (v > INT32_MAX || v < INT32_MIN)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

Tx310Code parseArticleAnswer(const std::string& answer, EcrArticle& article) {
    std::string rest = answer;
    std::string field;
    article = EcrArticle{};
    if (!nextField(rest, field) || field != "0")
        return TX310_ERR_FORMAT;

    Plu plu;
    if (!nextField(rest, field) || !plu.parse(field))
        return TX310_ERR_FORMAT;
    plu.text(article.plu);

    if (!nextField(rest, field))
        return TX310_ERR_FORMAT;
    std::string name = fromEcrText(field);
    std::strncpy(article.name, name.c_str(), sizeof article.name - 1);

    long vat = 0;
    if (!nextField(rest, field) || !parseEcrInteger(field, vat))
        return TX310_ERR_FORMAT;
    article.vat = static_cast<uint8_t>(vat - 1);

    if (!nextField(rest, field))
        return TX310_ERR_FORMAT;
    if (!field.empty() && !parseEcrDecimal(field, 100, article.price))
        return TX310_ERR_FORMAT;

    if (!nextField(rest, field))
        return TX310_ERR_FORMAT;
    long open = 0;
    article.openPrice = parseEcrInteger(field, open) && open == 1 ? 1 : 0;

    if (!nextField(rest, field))
        return TX310_ERR_FORMAT;
    if (!field.empty() && !parseEcrDecimal(field, 1000, article.quantity))
        return TX310_ERR_FORMAT;

    if (!nextField(rest, field))
        return TX310_ERR_FORMAT;
    if (!field.empty() && !parseEcrDecimal(field, 100, article.amount))
        return TX310_ERR_FORMAT;
    return TX310_OK;
}

}  // namespace kos
