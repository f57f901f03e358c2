#include "online/RegisterListText.h"

#include <cstdio>

namespace kos {

namespace {

constexpr const char* TEXT_BAD_NUMBER = "Niepoprawny format numeru kasy %s.";
constexpr const char* TEXT_CANNOT_ADD = "Kasa o tym numerze %d już istnieje lub za dużo kas.";
constexpr const char* TEXT_ASK_REMOVE =
    "Czy na pewno chcesz usunąć zaznaczone kasy?\nDane o sprzedaży dla tych kas zostaną usunięte.";
constexpr int32_t LOWEST_REGISTER = 1;
constexpr int32_t HIGHEST_REGISTER = 99;

std::string trim(const std::string& s) {
    const char* blanks = " \t\r\n\v\f";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A whole decimal number with an optional sign. Numbers the line cannot call are refused: the
// poll passes the number as one byte, so 257 would call register 1 from a second slot and
// split its receipts between two slots.
bool toRegisterNumber(const std::string& token, int32_t& number) {
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    if (i == token.size())
        return false;
    long long value = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > HIGHEST_REGISTER)
            return false;
    }
    if (negative)
        value = -value;
    if (value < LOWEST_REGISTER)
        return false;
    number = static_cast<int32_t>(value);
    return true;
}

}  // namespace

RegisterListText parseRegisterList(const std::string& text) {
    RegisterListText result;
    std::string rest = trim(text);
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        std::string token;
        if (comma == std::string::npos) {
            token = rest;
            rest.clear();
        } else {
            token = rest.substr(0, comma);
            rest = rest.substr(comma + 1);
        }
        token = trim(token);
        int32_t number = 0;
        if (!toRegisterNumber(token, number)) {
            result.valid = false;
            result.badToken = token;
            break;
        }
        result.numbers.push_back(number);
    }
    return result;
}

namespace {

bool addRegisters(TarvelServerDoc& doc, const std::string& text, Prompt& prompt, bool skipExisting,
                  std::vector<int>& added) {
    const RegisterListText list = parseRegisterList(text);
    for (int32_t number : list.numbers) {
        if (skipExisting && doc.findSlot(number) != -1)
            continue;
        const int slot = doc.addRegister(number);
        if (slot < 0) {
            char buf[96];
            std::snprintf(buf, sizeof buf, TEXT_CANNOT_ADD, static_cast<int>(number));
            prompt.message(buf, PromptIcon::Stop);
            return false;
        }
        added.push_back(slot);
    }
    if (!list.valid) {
        std::string message = TEXT_BAD_NUMBER;
        message.replace(message.find("%s"), 2, list.badToken);
        prompt.message(message, PromptIcon::Stop);
        return false;
    }
    return true;
}

}  // namespace

std::vector<int> addRegistersFromText(TarvelServerDoc& doc, const std::string& text,
                                      Prompt& prompt) {
    std::vector<int> added;
    addRegisters(doc, text, prompt, false, added);
    return added;
}

bool addMissingRegisters(TarvelServerDoc& doc, const std::string& text, Prompt& prompt) {
    std::vector<int> added;
    return addRegisters(doc, text, prompt, true, added);
}

bool removeRegisters(TarvelServerDoc& doc, const std::vector<int>& slotIndices, Prompt& prompt) {
    if (!prompt.ask(TEXT_ASK_REMOVE))
        return false;
    for (int slot : slotIndices)
        doc.removeRegister(slot);
    return true;
}

}  // namespace kos
