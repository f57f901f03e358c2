#include "Library.h"

#include <dlfcn.h>

namespace hostsim {

Library::Library(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        error_ = dlerror();
        return;
    }
    entry_ = reinterpret_cast<DllMainFunction>(dlsym(handle_, "DLLMain"));
    if (!entry_)
        error_ = "DLLMain not exported by " + path;
}

Library::~Library() {
    if (handle_)
        dlclose(handle_);
}

}  // namespace hostsim
