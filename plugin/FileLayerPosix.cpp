// The file layer on POSIX: the receipt folder under $HOME, flock against the server's appends,
// fsync for the parameter file.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "plugin/FileLayer.h"

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

class PosixLockedReceipt final : public LockedReceipt {
public:
    explicit PosixLockedReceipt(const std::string& path) : path_(path) {
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
    ~PosixLockedReceipt() override {
        if (file_)
            std::fclose(file_);
    }

    Status status() const override { return status_; }
    FILE* file() const override { return file_; }
    bool remove() override { return unlink(path_.c_str()) == 0; }

private:
    std::string path_;
    FILE* file_ = nullptr;
    Status status_ = Status::CannotOpen;
};

// The folder's entry of a file just created must reach the disk as well as the file.
bool syncFolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

class PosixAppendFile final : public AppendFile {
public:
    PosixAppendFile(int fd, const std::string& createdPath) : fd_(fd), createdPath_(createdPath) {}
    ~PosixAppendFile() override { close(); }

    bool size(int64_t& bytes) override {
        struct stat info {};
        if (fstat(fd_, &info) != 0)
            return false;
        bytes = info.st_size;
        return true;
    }
    bool write(const std::string& data) override {
        size_t written = 0;
        while (written < data.size()) {
            ssize_t n = ::write(fd_, data.data() + written, data.size() - written);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            written += static_cast<size_t>(n);
        }
        return true;
    }
    bool truncate(int64_t bytes) override { return ftruncate(fd_, bytes) == 0; }
    bool sync() override {
        int rc;
        do {
            rc = fsync(fd_);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0 || (!createdPath_.empty() && !syncFolderOf(createdPath_)))
            return false;
        createdPath_.clear();
        return true;
    }
    bool close() override {
        if (fd_ < 0)
            return true;
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
    std::string createdPath_;  // empty once the folder entry is durable
};

class PosixFileLayer final : public FileLayer {
public:
    std::vector<std::string> list(const std::string& directory,
                                  const std::string& pattern) override {
        std::vector<std::string> names;
        DIR* dir = opendir(directory.c_str());
        if (!dir)
            return names;
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.' && matchesPattern(pattern.c_str(), entry->d_name))
                names.push_back(entry->d_name);
        }
        closedir(dir);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::unique_ptr<LockedReceipt> lockReceipt(const std::string& path) override {
        return std::make_unique<PosixLockedReceipt>(path);
    }
    std::unique_ptr<AppendFile> openForAppend(const std::string& path) override {
        int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd >= 0)
            return std::make_unique<PosixAppendFile>(fd, std::string());
        fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            return nullptr;
        return std::make_unique<PosixAppendFile>(fd, path);
    }
};

}  // namespace

FileLayer& systemFileLayer() {
    static PosixFileLayer layer;
    return layer;
}

std::string receiptDirectory() {
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/TarvelSerwer/";
}

}  // namespace tarvel
