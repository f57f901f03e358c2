#include "online/RegisterListText.h"

#include <cstdio>

namespace kos {

namespace {

constexpr const char* TEXT_BAD_NUMBER = "Niepoprawny format numeru kasy %s.";
constexpr const char* TEXT_NUMBER_OUT_OF_RANGE = "Numer kasy %s jest spoza zakresu od 0 do 99.";
constexpr const char* TEXT_CANNOT_ADD = "Kasa o tym numerze %d już istnieje lub za dużo kas.";
constexpr const char* TEXT_ASK_REMOVE =
    "Czy na pewno chcesz usunąć zaznaczone kasy?\nDane o sprzedaży dla tych kas zostaną usunięte.";
constexpr int32_t LOWEST_REGISTER = 0;
constexpr int32_t HIGHEST_REGISTER = 99;

std::string trim(const std::string& s) {
    const char* blanks = " \t\r\n\v\f";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// A whole decimal number with an optional sign. Numbers the line cannot call are refused: the
// call carries two digits, and the poll passes the number as one byte, so 257 would call
// register 1 from a second slot and split its receipts between two slots.
RegisterTokenFault toRegisterNumber(const std::string& token, int32_t& number) {
    size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        negative = token[i++] == '-';
    if (i == token.size())
        return RegisterTokenFault::Format;
    bool tooLarge = false;
    long long value = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9')
            return RegisterTokenFault::Format;
        value = value * 10 + (c - '0');
        if (value > HIGHEST_REGISTER) {
            tooLarge = true;
            value = HIGHEST_REGISTER + 1;  // no overflow however many digits follow
        }
    }
    if (negative)
        value = -value;
    if (tooLarge || value < LOWEST_REGISTER)
        return RegisterTokenFault::Range;
    number = static_cast<int32_t>(value);
    return RegisterTokenFault::None;
}

std::string withToken(const char* text, const std::string& token) {
    std::string message = text;
    message.replace(message.find("%s"), 2, token);
    return message;
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
        result.fault = toRegisterNumber(token, number);
        if (result.fault != RegisterTokenFault::None) {
            result.badToken = token;
            break;
        }
        result.numbers.push_back(number);
    }
    return result;
}

namespace {

bool addRegisters(TarvelServerDoc& doc, const std::string& text, Prompt& prompt, bool skipExisting,
                  std::vector<int>& added, const std::function<void(int)>& onAdded) {
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
        if (onAdded)
            onAdded(slot);
    }
    if (list.fault == RegisterTokenFault::None)
        return true;
    prompt.message(registerListFaultText(list), PromptIcon::Stop);
    return false;
}

}  // namespace

std::string registerListFaultText(const RegisterListText& list) {
    switch (list.fault) {
        case RegisterTokenFault::Format:
            return withToken(TEXT_BAD_NUMBER, list.badToken);
        case RegisterTokenFault::Range:
            return withToken(TEXT_NUMBER_OUT_OF_RANGE, list.badToken);
        case RegisterTokenFault::None:
            break;
    }
    return {};
}

std::vector<int> addRegistersFromText(TarvelServerDoc& doc, const std::string& text, Prompt& prompt,
                                      const std::function<void(int)>& onAdded) {
    std::vector<int> added;
    addRegisters(doc, text, prompt, false, added, onAdded);
    return added;
}

bool addMissingRegisters(TarvelServerDoc& doc, const std::string& text, Prompt& prompt) {
    std::vector<int> added;
    return addRegisters(doc, text, prompt, true, added, {});
}

bool removeRegisters(TarvelServerDoc& doc, const std::vector<int>& slotIndices, Prompt& prompt) {
    if (!prompt.ask(TEXT_ASK_REMOVE))
        return false;
    for (int slot : slotIndices)
        doc.removeRegister(slot);
    return true;
}

}  // namespace kos
