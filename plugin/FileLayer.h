// The file system as the import uses it: the receipt files of a day, each held against the
// online server's writes while it is read and deleted, and the parameter file appended to.
// One implementation per platform; tests put their own in between to watch or fail calls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tarvel {

// A receipt file opened for reading under the lock the online server takes for every append,
// so that nothing is appended between reading the file and deleting it. Closed (and the lock
// released) when destroyed.
class LockedReceipt {
public:
    enum class Status {
        Open,
        CannotOpen,
        Gone,  // deleted by someone else (another import) while we waited for the lock
    };

    virtual ~LockedReceipt() = default;
    virtual Status status() const = 0;
    virtual FILE* file() const = 0;
    // Deletes the file while the lock is still held.
    virtual bool remove() = 0;
};

// A file opened for writing at its end.
class AppendFile {
public:
    virtual ~AppendFile() = default;
    virtual bool size(int64_t& bytes) = 0;
    virtual bool write(const std::string& data) = 0;  // all of it or false
    virtual bool truncate(int64_t bytes) = 0;
    // What was written reaches the disk before this returns true.
    virtual bool sync() = 0;
    virtual bool close() = 0;
};

class FileLayer {
public:
    virtual ~FileLayer() = default;
    // The names in the directory that match the pattern ('?' one character, '*' any run), in
    // name order.
    virtual std::vector<std::string> list(const std::string& directory,
                                          const std::string& pattern) = 0;
    virtual std::unique_ptr<LockedReceipt> lockReceipt(const std::string& path) = 0;
    // Null when the file can neither be opened nor created.
    virtual std::unique_ptr<AppendFile> openForAppend(const std::string& path) = 0;
};

FileLayer& systemFileLayer();

// The folder the online server writes its receipt files into, with its separator at the end.
std::string receiptDirectory();

// '?' matches one character, '*' any run of characters, everything else itself.
bool matchesPattern(const char* pattern, const char* name);

}  // namespace tarvel
