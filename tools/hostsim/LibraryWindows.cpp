// tarvel.dll loaded with LoadLibrary, the way the host loads it; modules it imports are looked
// for beside it first.
#include <windows.h>

#include "Library.h"

namespace hostsim {

Library::Library(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    handle_ = module;
    if (!module) {
        error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return;
    }
    entry_ = reinterpret_cast<DllMainFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "DLLMain")));
    if (!entry_)
        error_ = "DLLMain not exported by " + path;
}

Library::~Library() {
    if (handle_)
        FreeLibrary(static_cast<HMODULE>(handle_));
}

}  // namespace hostsim
