// The parameter file "Kasa%d.par" the host imports the sales from.
#pragma once

#include <string>

namespace tarvel {

// Appends all lines or none: a failed write is cut back, so that a receipt file kept for a later
// import leaves no half of its sales behind. True when the lines are in the file.
bool appendToParameterFile(const std::string& path, const std::string& lines);

}  // namespace tarvel
