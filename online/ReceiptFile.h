// Receipt file names and the durable append of a receipt to a file.
#pragma once

#include <cstdint>
#include <string>

#include "base/Clock.h"

namespace kos {

// "%04d%02d%02d_%05d_%s_%d_%d.txt": a receipt with a number.
std::string receiptFileName(const LocalTime& date, int fileNumber, const std::string& serial,
                            int32_t series, int32_t number);
// "%04d%02d%02d_%05d_%s_%d.txt": the one-line file of a receipt numbered 0.
std::string singleLineFileName(const LocalTime& date, int fileNumber, const std::string& serial,
                               int32_t series);
// "%Y%m%d", the name of a day's backup folder.
std::string dateFolderName(const LocalTime& date);
// dir + "/" (unless dir already ends in one) + name; an empty dir gives name alone.
std::string joinPath(const std::string& dir, const std::string& name);

// Creates path (one level) when missing; true when it then is a directory.
bool ensureDirectory(const std::string& path);

enum class AppendResult {
    Ok,
    OpenFailed,   // the file cannot be opened or created
    WriteFailed,  // writing, flushing or closing failed; the file is back at its old length
};

// Appends data to path (created when missing). With sync the data, and the directory entry of
// a new file, are on the disk before Ok is returned. A failure leaves the file as it was, so
// the same data can be appended again later without doubling anything. With base (the file's
// length before this data was first tried) a file that already holds the data, or its start,
// after base gets only what is missing.
AppendResult appendReceiptData(const std::string& path, const std::string& data, bool sync = true,
                               int64_t base = -1);

}  // namespace kos
