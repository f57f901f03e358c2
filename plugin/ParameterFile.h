// The parameter file "Kasa%d.par" the host imports the sales from.
#pragma once

#include <string>

#include "plugin/FileLayer.h"

namespace tarvel {

// Appends all lines or none and makes them durable: a failed write or sync is cut back, so
// that a receipt file kept for a later import leaves no half of its sales behind, and a receipt
// file deleted after a true answer cannot take its sales with it in a power loss.
bool appendToParameterFile(FileLayer& files, const std::string& path, const std::string& lines);

}  // namespace tarvel
