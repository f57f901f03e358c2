// What the command-line programs share in reading their options.
#pragma once

#include <optional>
#include <string>

#include "base/Settings.h"

namespace kos {

// The whole of text as a decimal number from low to high; false leaves value as it was.
bool parseIntOption(const std::string& text, long low, long high, int& value);

// The line options over the settings: the port first, so that a device goes to the port in
// force (none when that port is out of range).
void overrideLine(Settings& settings, const std::optional<int>& port,
                  const std::optional<std::string>& device, const std::optional<int>& speed);

}  // namespace kos
