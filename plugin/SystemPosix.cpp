// The operating system's services on POSIX: /proc for the executable, standard error as the
// message box.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

#include "plugin/HostApi.h"
#include "plugin/System.h"

namespace tarvel {

std::string hostExecutablePath() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path));
    if (length <= 0 || static_cast<size_t>(length) >= sizeof(path))
        return std::string();
    return std::string(path, static_cast<size_t>(length));
}

int32_t systemMessageBox(const char* text, const char* caption, uint32_t style) {
    auto replacement =
        reinterpret_cast<SystemMessageBoxFunction>(dlsym(RTLD_DEFAULT, SYSTEM_BOX_SYMBOL));
    if (replacement)
        return replacement(text, caption, style);
    std::fprintf(stderr, "%s\n%s\n", caption, text);
    return SYSTEM_BOX_ABORT;
}

}  // namespace tarvel
