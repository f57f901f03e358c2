// The file layer on Windows: the fixed receipt folder, a receipt file held with a share mode
// that refuses the server's writes, FlushFileBuffers for the parameter file.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

#include "plugin/FileLayer.h"

namespace tarvel {
namespace {

// How long a receipt file the server is writing may keep us waiting.
constexpr int SHARING_RETRIES = 3000;
constexpr DWORD SHARING_RETRY_MS = 10;

class WindowsLockedReceipt final : public LockedReceipt {
public:
    explicit WindowsLockedReceipt(const std::string& path) : path_(path) {
        HANDLE handle = INVALID_HANDLE_VALUE;
        for (int attempt = 0; attempt < SHARING_RETRIES; ++attempt) {
            // Others may read it and delete it, nobody may write to it while we hold it.
            handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE)
                break;
            DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                status_ = attempt > 0 ? Status::Gone : Status::CannotOpen;
                return;
            }
            if (error != ERROR_SHARING_VIOLATION)
                return;
            Sleep(SHARING_RETRY_MS);
        }
        if (handle == INVALID_HANDLE_VALUE)
            return;
        int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
        if (fd < 0) {
            CloseHandle(handle);
            return;
        }
        file_ = _fdopen(fd, "rb");
        if (!file_) {
            _close(fd);
            return;
        }
        status_ = Status::Open;
    }
    ~WindowsLockedReceipt() override {
        if (file_)
            std::fclose(file_);
    }

    Status status() const override { return status_; }
    FILE* file() const override { return file_; }
    // Shared for deleting: the name goes now, the file when our handle closes.
    bool remove() override { return DeleteFileA(path_.c_str()) != 0; }

private:
    std::string path_;
    FILE* file_ = nullptr;
    Status status_ = Status::CannotOpen;
};

class WindowsAppendFile final : public AppendFile {
public:
    explicit WindowsAppendFile(HANDLE handle) : handle_(handle) {}
    ~WindowsAppendFile() override { close(); }

    bool size(int64_t& bytes) override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle_, &size))
            return false;
        bytes = size.QuadPart;
        return true;
    }
    bool write(const std::string& data) override {
        LARGE_INTEGER end{};
        if (!SetFilePointerEx(handle_, end, nullptr, FILE_END))
            return false;
        size_t written = 0;
        while (written < data.size()) {
            DWORD n = 0;
            if (!WriteFile(handle_, data.data() + written,
                           static_cast<DWORD>(data.size() - written), &n, nullptr) ||
                n == 0)
                return false;
            written += n;
        }
        return true;
    }
    bool truncate(int64_t bytes) override {
        LARGE_INTEGER position;
        position.QuadPart = bytes;
        return SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) && SetEndOfFile(handle_);
    }
    bool sync() override { return FlushFileBuffers(handle_) != 0; }
    bool close() override {
        if (handle_ == INVALID_HANDLE_VALUE)
            return true;
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

class WindowsFileLayer final : public FileLayer {
public:
    std::vector<std::string> list(const std::string& directory,
                                  const std::string& pattern) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((directory + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            // The search also matches short 8.3 names; the long name must match itself.
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                matchesPattern(pattern.c_str(), found.cFileName))
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::unique_ptr<LockedReceipt> lockReceipt(const std::string& path) override {
        return std::make_unique<WindowsLockedReceipt>(path);
    }
    std::unique_ptr<AppendFile> openForAppend(const std::string& path) override {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<WindowsAppendFile>(handle);
    }
};

}  // namespace

FileLayer& systemFileLayer() {
    static WindowsFileLayer layer;
    return layer;
}

std::string receiptDirectory() {
    return "C:\\TarvelSerwer\\";
}

}  // namespace tarvel
