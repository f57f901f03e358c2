// The ".dat" form of an article document: the tagged article list, then the header record.
#pragma once

#include <string>

#include "articles/Articles.h"
#include "articles/ECRHeader.h"

namespace kos {

enum class DatStatus {
    Ok,
    BadFormat,   // "Unexpected file format."
    ReadError,   // "Failed to open document."
    WriteError,  // "Failed to save document."
};

std::string writeDat(const Articles& articles, const ECRHeader& header);
// Fills the empty articles and header; on BadFormat what was read is left in them for the
// caller to drop. Nothing is sized by a count before the bytes behind it have been read.
DatStatus readDat(const std::string& data, Articles& articles, ECRHeader& header);

}  // namespace kos
