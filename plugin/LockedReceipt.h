// A receipt file opened for reading under the lock the online server takes for every append, so
// that nothing is appended between reading the file and deleting it.
#pragma once

#include <cstdio>
#include <string>

namespace tarvel {

class LockedReceipt {
public:
    enum class Status {
        Open,
        CannotOpen,
        Gone,  // deleted by someone else (another import) while we waited for the lock
    };

    explicit LockedReceipt(const std::string& path);
    ~LockedReceipt();  // closing releases the lock
    LockedReceipt(const LockedReceipt&) = delete;
    LockedReceipt& operator=(const LockedReceipt&) = delete;

    Status status() const { return status_; }
    FILE* file() const { return file_; }
    // Deletes the file while the lock is still held.
    bool remove();

private:
    std::string path_;
    FILE* file_ = nullptr;
    Status status_ = Status::CannotOpen;
};

}  // namespace tarvel
