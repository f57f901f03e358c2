// libtarvel.so loaded with dlopen, the way the host loads it.
#pragma once

#include <string>

#include "plugin/HostApi.h"

namespace hostsim {

class Library {
public:
    explicit Library(const std::string& path);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool loaded() const { return entry_ != nullptr; }
    const std::string& error() const { return error_; }
    int32_t dllMain(HostCallback callback, char* buffer) const { return entry_(callback, buffer); }

private:
    void* handle_ = nullptr;
    DllMainFunction entry_ = nullptr;
    std::string error_;
};

}  // namespace hostsim
