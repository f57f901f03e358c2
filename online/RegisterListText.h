// The register list as the user types it ("8,2,56") and the removal of registers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Prompt.h"
#include "online/TarvelServerDoc.h"

namespace kos {

// What is wrong with the first bad token of a list.
enum class RegisterTokenFault {
    None,
    Format,  // not a whole decimal number
    Range,   // a number, but not one the line can call (0 to 99)
};

struct RegisterListText {
    std::vector<int32_t> numbers;  // the numbers before the first bad token, in order
    RegisterTokenFault fault = RegisterTokenFault::None;
    std::string badToken;
};

// Comma-separated numbers, blanks around each allowed. A text ending in a comma adds nothing
// for the empty rest; an empty token between two commas is bad, as is anything that is not a
// whole decimal number (optional sign) of a register the line can call (0 to 99).
RegisterListText parseRegisterList(const std::string& text);
// The message for the first bad token of a list ("" when there is none).
std::string registerListFaultText(const RegisterListText& list);

// Adds the registers of text one by one, as the "Dodaj" dialog does; the first failure is
// shown and ends the adding (registers added before it stay). onAdded hears of each slot as it
// is filled, before any failure is shown. Returns the slot indices added, in order.
std::vector<int> addRegistersFromText(TarvelServerDoc& doc, const std::string& text, Prompt& prompt,
                                      const std::function<void(int slot)>& onAdded = {});

// The same for a server started again with its list: numbers already in the document are
// passed over. False after a failure was shown.
bool addMissingRegisters(TarvelServerDoc& doc, const std::string& text, Prompt& prompt);

// Asks, then removes the registers of the given slots with their totals and sales. False when
// the user said No.
bool removeRegisters(TarvelServerDoc& doc, const std::vector<int>& slotIndices, Prompt& prompt);

}  // namespace kos
