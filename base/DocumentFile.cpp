#include "base/DocumentFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kos {

namespace {

constexpr uint16_t BIG_COUNT = 0xFFFF;

bool writeDurably(const std::string& path, const std::string& data) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n > 0)
            done += static_cast<size_t>(n);
        else if (!(n < 0 && errno == EINTR))
            ok = false;
    }
    ok = ok && ::fsync(fd) == 0;
    return (::close(fd) == 0) && ok;
}

}  // namespace

bool readWholeFile(const std::string& path, std::string& data) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    std::ostringstream ss;
    ss << f.rdbuf();
    if (f.bad())
        return false;
    data = ss.str();
    return true;
}

bool replaceFile(const std::string& path, const std::string& data) {
    const std::string tmp = path + ".tmp";
    if (!writeDurably(tmp, data) || std::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

void writeArchiveCount(ByteWriter& out, size_t n) {
    if (n < BIG_COUNT) {
        out.u16(static_cast<uint16_t>(n));
    } else {
        out.u16(BIG_COUNT);
        out.u32(static_cast<uint32_t>(n));
    }
}

bool readArchiveCount(ByteReader& in, uint32_t& n) {
    uint16_t small;
    if (!in.u16(small))
        return false;
    if (small != BIG_COUNT) {
        n = small;
        return true;
    }
    return in.u32(n);
}

}  // namespace kos
