#include "plugin/LockedReceipt.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarvel {
namespace {

// Another import may delete the file, and the server write a new one under the same name, while
// we wait for the lock; the file we hold must then be opened again.
constexpr int MAX_OPEN_ATTEMPTS = 100;

bool isFileAtPath(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino && opened.st_nlink > 0;
}

}  // namespace

LockedReceipt::LockedReceipt(const std::string& path) : path_(path) {
    for (int attempt = 0; attempt < MAX_OPEN_ATTEMPTS; ++attempt) {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            // Only a file seen before and gone since was taken by someone else.
            status_ = attempt > 0 && errno == ENOENT ? Status::Gone : Status::CannotOpen;
            return;
        }
        int rc;
        do {
            rc = flock(fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        // Without lock support (rc != 0) the file is read as it was before locking.
        if (rc != 0 || isFileAtPath(fd, path)) {
            file_ = fdopen(fd, "rb");
            if (!file_) {
                close(fd);
                return;
            }
            status_ = Status::Open;
            return;
        }
        close(fd);
    }
}

LockedReceipt::~LockedReceipt() {
    if (file_)
        std::fclose(file_);
}

bool LockedReceipt::remove() {
    return unlink(path_.c_str()) == 0;
}

}  // namespace tarvel
