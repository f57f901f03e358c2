// The day's highest receipt file number in the receipt directory, so numbering goes on after a
// restart instead of starting again at 1.
#pragma once

#include <string>

#include "base/Clock.h"

namespace kos {

// The highest daily file number among the receipt files of t's day in dir: 0 when there is
// none, -1 when the directory cannot be listed.
int scanReceiptNumbers(const std::string& dir, const LocalTime& t);

}  // namespace kos
