// The operating system's services on Windows.
#include <windows.h>

#include "plugin/HostApi.h"
#include "plugin/System.h"

namespace tarvel {

std::string hostExecutablePath() {
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return std::string();
    return std::string(path, length);
}

int32_t systemMessageBox(const char* text, const char* caption, uint32_t style) {
    auto replacement = reinterpret_cast<SystemMessageBoxFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(nullptr), SYSTEM_BOX_SYMBOL)));
    if (replacement)
        return replacement(text, caption, style);
    return MessageBoxA(nullptr, text, caption, style);
}

}  // namespace tarvel
