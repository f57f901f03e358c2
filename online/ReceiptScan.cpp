#include "online/ReceiptScan.h"

#include <dirent.h>
#include <fnmatch.h>

#include <cerrno>
#include <cstdio>

namespace kos {

namespace {

// The daily file number: characters 10 to 14 of the name, all five digits.
int fileNumberOf(const char* name) {
    int n = 0;
    for (int i = 9; i < 14; ++i) {
        const char c = name[i];
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

int scanReceiptNumbers(const std::string& dir, const LocalTime& t) {
    // "_*_*.txt" rather than "_*_*_*.txt": the one-line files ("..._serial_series.txt") take
    // their numbers from the same daily count, so they must count too.
    char pattern[64];
    std::snprintf(pattern, sizeof pattern, "%04d%02d%02d_?????_*_*.txt", t.year, t.month, t.day);

    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return -1;
    int highest = 0;
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
        if (::fnmatch(pattern, e->d_name, FNM_PERIOD) == 0) {
            const int n = fileNumberOf(e->d_name);
            if (n > highest)
                highest = n;
        }
        errno = 0;
    }
    const bool listed = errno == 0;
    ::closedir(d);
    return listed ? highest : -1;
}

}  // namespace kos
