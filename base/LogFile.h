// The trace file: append-only text with "%t" time stamps, a recursive per-object lock,
// optional close after every write, and rotation to one "~" backup past 100,000,000 bytes.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

#include "base/Clock.h"

namespace kos {

class LogFile {
public:
    enum Options : int {
        LOG_CLOSE_EACH_WRITE = 1,
        LOG_HEADER_ON_CREATE = 2,
        LOG_NOTE_OPEN = 4,
        LOG_NOTE_DESTROY = 8,
    };
    static constexpr long long ROTATE_SIZE = 100000000;
    static constexpr size_t MAX_PATH_LEN = 131;
    static constexpr size_t MAX_FORMAT_LEN = 255;

    explicit LogFile(Clock& clock = systemClock());
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Switches to path and options; false when the old stream cannot be closed or the path
    // does not fit.
    bool open(const std::string& path, int options);
    // printf-style; "%t" becomes the local time "DD.MM.YYYY hh:mm:ss". Returns the characters
    // written, or -1 on failure.
    int print(const char* format, ...);
    bool ensureOpen();
    bool closeFile();

    std::string path() const;
    int options() const;
    // The "~" backup name of a path: ".log" -> ".lo~", ".lg" -> ".lg~", none -> "~".
    static std::string backupPath(const std::string& path);

private:
    Clock& clock_;
    int options_ = 15;
    mutable std::recursive_mutex lock_;
    std::string path_;
    FILE* file_ = nullptr;
};

}  // namespace kos
