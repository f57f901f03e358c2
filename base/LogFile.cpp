#include "base/LogFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

namespace kos {

namespace {

constexpr const char* CREATION_LINE = "%t: Utworzenie pliku logu: %s\n\n";

bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The format with every "%t" replaced by the time stamp; false when it would not fit the
// format buffer (such a format is refused, never cut in the middle of a directive).
bool expandFormat(const char* format, Clock& clock, std::string& out) {
    out.clear();
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 't') {
            LocalTime t = clock.localTime();
            char stamp[64];
            snprintf(stamp, sizeof stamp, "%.2d.%.2d.%.4d %.2d:%.2d:%.2d", t.day, t.month, t.year,
                     t.hour, t.minute, t.second);
            out += stamp;
            ++p;
        } else {
            out += *p;
        }
        if (out.size() > LogFile::MAX_FORMAT_LEN)
            return false;
    }
    return true;
}

}  // namespace

LogFile::LogFile(Clock& clock) : clock_(clock) {}

LogFile::~LogFile() {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (ensureOpen() && (options_ & LOG_NOTE_DESTROY))
        print("%t: Usuniecie obiektu LogFile\n");
    if (file_)
        fclose(file_);
    file_ = nullptr;
}

bool LogFile::open(const std::string& path, int options) {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (path.size() > MAX_PATH_LEN)
        return false;
    bool existed = fileExists(path);
    if (!closeFile())
        return false;
    path_ = path;
    options_ = options;
    if ((options_ & LOG_HEADER_ON_CREATE) && !existed)
        print(CREATION_LINE, path_.c_str());
    if (options_ & LOG_NOTE_OPEN)
        print("%t: Utworzenie obiektu LogFile\n");
    return true;
}

int LogFile::print(const char* format, ...) {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!ensureOpen())
        return -1;

    std::string expanded;
    int result = -1;
    if (format && expandFormat(format, clock_, expanded)) {
        va_list args;
        va_start(args, format);
        result = vfprintf(file_, expanded.c_str(), args);
        va_end(args);
    }

    // The size on disk, so what is still buffered counts too.
    struct stat st;
    if (fflush(file_) == 0 && fstat(fileno(file_), &st) == 0 && st.st_size > ROTATE_SIZE) {
        if (!closeFile())
            return -1;
        std::string backup = backupPath(path_);
        if (fileExists(backup) && unlink(backup.c_str()) != 0)
            return -1;
        if (rename(path_.c_str(), backup.c_str()) != 0)
            return -1;
        if (options_ & LOG_HEADER_ON_CREATE)
            print(CREATION_LINE, path_.c_str());
    }

    if ((options_ & LOG_CLOSE_EACH_WRITE) && !closeFile())
        return -1;
    return result;
}

bool LogFile::ensureOpen() {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (path_.empty())
        return false;
    if (!file_)
        file_ = fopen(path_.c_str(), "a+");
    return file_ != nullptr;
}

bool LogFile::closeFile() {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!file_)
        return true;
    if (fclose(file_) != 0) {
        // The stream is gone after fclose whatever it returns; keeping it would be a dangling
        // pointer, so only the result reports the failure.
        file_ = nullptr;
        return false;
    }
    file_ = nullptr;
    return true;
}

std::string LogFile::path() const {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return path_;
}

int LogFile::options() const {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return options_;
}

std::string LogFile::backupPath(const std::string& path) {
    size_t nameStart = path.find_last_of('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart)
        return path + "~";
    std::string ext = path.substr(dot);
    if (ext.size() >= 4)
        ext[3] = '~';
    else
        ext += '~';
    return path.substr(0, dot) + ext;
}

}  // namespace kos
