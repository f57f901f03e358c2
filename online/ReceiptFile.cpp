#include "online/ReceiptFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace kos {

namespace {

std::string datePrefix(const LocalTime& d, int fileNumber) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d_%05d_", d.year, d.month, d.day, fileNumber);
    return buf;
}

std::string parentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool syncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::string receiptFileName(const LocalTime& date, int fileNumber, const std::string& serial,
                            int32_t series, int32_t number) {
    return datePrefix(date, fileNumber) + serial + "_" + std::to_string(series) + "_" +
           std::to_string(number) + ".txt";
}

std::string singleLineFileName(const LocalTime& date, int fileNumber, const std::string& serial,
                               int32_t series) {
    return datePrefix(date, fileNumber) + serial + "_" + std::to_string(series) + ".txt";
}

std::string dateFolderName(const LocalTime& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year, d.month, d.day);
    return buf;
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty())
        return name;
    if (dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

bool ensureDirectory(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (::stat(path.c_str(), &st) != 0)
            return false;
    }
    return S_ISDIR(st.st_mode);
}

AppendResult appendReceiptData(const std::string& path, const std::string& data, bool sync) {
    struct stat st;
    const bool existed = ::stat(path.c_str(), &st) == 0;
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return AppendResult::OpenFailed;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return AppendResult::OpenFailed;
    }
    const off_t oldSize = st.st_size;
    bool ok = writeAll(fd, data);
    if (ok && sync)
        ok = ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && !existed && sync)
        ok = syncDirectory(parentOf(path));
    if (!ok) {
        // Take back what reached the file so that a later attempt does not double lines.
        if (existed) {
            [[maybe_unused]] int rc = ::truncate(path.c_str(), oldSize);
        } else {
            ::unlink(path.c_str());
        }
        return AppendResult::WriteFailed;
    }
    return AppendResult::Ok;
}

}  // namespace kos
