#include "online/EcrLine.h"

#include <cstdint>

namespace kos {

namespace {

constexpr size_t MAX_SERIAL_LEN = 64;
constexpr int END_LINE_FIELDS = 20;

// Fields end with ";"; a field with no ";" after it is missing.
class FieldCursor {
public:
    explicit FieldCursor(std::string_view text) : rest_(text) {}
    bool next(std::string_view& field) {
        size_t semi = rest_.find(';');
        if (semi == std::string_view::npos)
            return false;
        field = rest_.substr(0, semi);
        rest_.remove_prefix(semi + 1);
        return true;
    }
    bool skip(int count) {
        std::string_view ignored;
        for (int i = 0; i < count; ++i)
            if (!next(ignored))
                return false;
        return true;
    }
    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

std::string_view trim(std::string_view s, std::string_view blanks) {
    size_t b = s.find_first_not_of(blanks);
    if (b == std::string_view::npos)
        return {};
    size_t e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// One character, empty meaning '0'; two or more characters fail.
bool singleChar(std::string_view field, char& c) {
    if (field.size() > 1)
        return false;
    c = field.empty() ? '0' : field[0];
    return true;
}

bool parseSale(FieldCursor& fields, EcrLine& line) {
    std::string_view plu, price, quantity;
    if (!fields.next(plu) || !fields.next(price) || !fields.next(quantity))
        return false;
    if (plu.empty()) {
        line.type = LINE_SALE_NO_PLU;
    } else {
        line.type = LINE_SALE;
        if (!line.plu.parse(plu))
            return false;
    }
    return parseDecimal(quantity, line.quantity);
}

bool parseEnd(FieldCursor& fields, EcrLine& line) {
    std::string_view closeKind, number, series;
    if (!fields.next(closeKind) || !parseInteger(closeKind, line.closeKind))
        return false;
    if (!fields.skip(4))  // fields 4 to 7
        return false;
    if (!fields.next(number) || !parseInteger(number, line.receiptNumber))
        return false;
    if (!fields.next(series) || !parseInteger(series, line.receiptSeries))
        return false;
    if (!fields.skip(END_LINE_FIELDS - 10))  // fields 10 to 19
        return false;
    line.type = LINE_END;
    return true;
}

}  // namespace

bool isSafeSerialNumber(std::string_view serial) {
    if (serial.empty() || serial.size() > MAX_SERIAL_LEN || serial == "." || serial == "..")
        return false;
    for (char ch : serial) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\')
            return false;
    }
    return true;
}

bool parseInteger(std::string_view text, int32_t& value) {
    text = trim(text, " ");
    if (text.empty()) {
        value = 0;
        return true;
    }
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    int64_t v = 0;
    for (char c : text) {
        if (!isDigit(c))
            return false;
        v = v * 10 + (c - '0');
        if (v > int64_t{INT32_MAX} + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v > INT32_MAX || v < INT32_MIN)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool parseDecimal(std::string_view text, int32_t& thousandths) {
    text = trim(text, " \t");
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    size_t i = 0;
    int64_t whole = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (i == 9)
            return false;  // ten digits or more; stop before the sum could overflow
        whole = whole * 10 + (text[i++] - '0');
    }
    if (i == 0)
        return false;
    int64_t fraction = 0;
    if (i < text.size()) {
        if (text[i] != '.')
            return false;
        ++i;
        size_t fractionDigits = 0;
        for (; i < text.size(); ++i, ++fractionDigits) {
            if (!isDigit(text[i]) || fractionDigits >= 9)
                return false;
            if (fractionDigits < 3)
                fraction = fraction * 10 + (text[i] - '0');
        }
        for (; fractionDigits < 3; ++fractionDigits)
            fraction *= 10;
    }
    int64_t v = whole * 1000 + fraction;
    v = negative ? -v : v;
    if (v > INT32_MAX || v < INT32_MIN)
        return false;
    thousandths = static_cast<int32_t>(v);
    return true;
}

bool EcrLine::parse(const std::string& message) {
    text = message;
    FieldCursor fields(message);
    std::string_view field;
    if (!fields.next(field))
        return false;
    std::string_view serial = trim(field, " ");
    if (!isSafeSerialNumber(serial))
        return false;
    serialNumber.assign(serial);
    if (fields.atEnd()) {
        type = LINE_IDLE;
        return true;
    }
    char c;
    if (!fields.next(field) || !singleChar(field, c) || !isDigit(c))
        return false;
    seq = static_cast<uint8_t>(c - '0');
    char kind;
    if (!fields.next(field) || !singleChar(field, kind))
        return false;
    switch (kind) {
        case '0':
            return parseSale(fields, *this);
        case '2':
            type = LINE_PERCENT;
            return fields.skip(3);
        case '3':
            return parseEnd(fields, *this);
        default:
            type = LINE_OTHER;
            return true;
    }
}

}  // namespace kos
