#include "online/ReceiptFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// The plug-in deletes a receipt file while it holds the file's lock; a file that was deleted
// between our open and our lock is opened again, so an append never lands in a deleted file.
constexpr int MAX_OPEN_ATTEMPTS = 100;

bool isFileAtPath(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino && opened.st_nlink > 0;
}

// Opens path for appending (created when missing) and locks it; -1 when it cannot be opened.
// created tells whether the file was missing before.
int openLocked(const std::string& path, bool& created) {
    for (int attempt = 0; attempt < MAX_OPEN_ATTEMPTS; ++attempt) {
        struct stat st {};
        created = ::stat(path.c_str(), &st) != 0;
        int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            return -1;
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        // Without lock support (rc != 0) the append goes ahead as it did before locking.
        if (rc != 0 || isFileAtPath(fd, path))
            return fd;
        ::close(fd);
    }
    return -1;
}

// What is still to be appended when the file held base bytes before this data: a file that
// already goes on with the data (a write cut short by a kill, or done before the journal
// said so) gets only the rest.
std::string missingPart(int fd, off_t size, int64_t base, const std::string& data) {
    if (base < 0 || size <= base)
        return data;
    const size_t have = static_cast<size_t>(std::min<int64_t>(size - base, data.size()));
    std::string bytes(have, '\0');
    if (::pread(fd, bytes.data(), have, static_cast<off_t>(base)) != static_cast<ssize_t>(have) ||
        data.compare(0, have, bytes) != 0)
        return data;
    return data.substr(have);
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

AppendResult appendReceiptData(const std::string& path, const std::string& whole, bool sync,
                               int64_t base) {
    bool created = false;
    int fd = openLocked(path, created);
    if (fd < 0)
        return AppendResult::OpenFailed;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return AppendResult::OpenFailed;
    }
    const off_t oldSize = st.st_size;
    const std::string data = missingPart(fd, oldSize, base, whole);
    bool ok = writeAll(fd, data);
    if (ok && sync)
        ok = ::fsync(fd) == 0;
    if (ok && created && sync)
        ok = syncDirectory(parentOf(path));
    if (!ok) {
        // Take back what reached the file, still under the lock, so that a later attempt does
        // not double lines and the plug-in never reads half a receipt.
        if (created) {
            ::unlink(path.c_str());
        } else {
            [[maybe_unused]] int rc = ::ftruncate(fd, oldSize);
        }
        ::close(fd);
        return AppendResult::WriteFailed;
    }
    // Closing releases the lock.
    if (::close(fd) != 0) {
        if (created) {
            ::unlink(path.c_str());
        } else {
            [[maybe_unused]] int rc = ::truncate(path.c_str(), oldSize);
        }
        return AppendResult::WriteFailed;
    }
    return AppendResult::Ok;
}

}  // namespace kos
