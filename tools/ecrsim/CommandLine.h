// The ecrsim program's options and its article-table file.
#pragma once

#include <string>
#include <vector>

#include "Simulator.h"

namespace kos::ecrsim {

// False with a reason (or "help") in error.
bool parseCommandLine(int argc, const char* const* argv, SimOptions& options, std::string& error);
const char* usage();

// One article a line: plu;name;vat;price[;openPrice[;quantity;amount]] with vat 1..7, price in
// hundredths, quantity in thousandths, amount in hundredths; empty lines and "#" lines skipped.
bool loadArticles(const std::string& path, std::vector<SimArticle>& articles, std::string& error);
// A few articles for a register started without a table.
std::vector<SimArticle> sampleArticles();

}  // namespace kos::ecrsim
