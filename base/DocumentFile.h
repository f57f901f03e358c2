// Whole-file reading and writing of the document files, and the texts the user is shown when
// either fails. A file is saved through a synced temporary file renamed over the old one, so a
// failed save leaves the old file as it was.
#pragma once

#include <cstdint>
#include <string>

#include "base/Bytes.h"

namespace kos {

inline constexpr const char* TEXT_UNEXPECTED_FORMAT = "Unexpected file format.";
inline constexpr const char* TEXT_OPEN_FAILED = "Failed to open document.";
inline constexpr const char* TEXT_SAVE_FAILED = "Failed to save document.";

bool readWholeFile(const std::string& path, std::string& data);
// Writes path + ".tmp", syncs it and renames it to path; on failure the temporary file is
// removed and path is untouched.
bool replaceFile(const std::string& path, const std::string& data);

// The object count of the archives: uint16, or 0xFFFF and a uint32 from 0xFFFF up.
void writeArchiveCount(ByteWriter& out, size_t n);
bool readArchiveCount(ByteReader& in, uint32_t& n);

}  // namespace kos
