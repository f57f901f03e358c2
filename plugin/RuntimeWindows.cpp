// The Windows side's state and services that need no loader entry of their own, so that test
// programs can use them: the platform, the deferred runtime start, the formatter served for
// "wsprintfA" and where the functions of "32DOS.dll" are found.
#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "plugin/HostApi.h"
#include "plugin/HostBinding.h"
#include "plugin/Loader.h"
#include "plugin/System.h"
#include "plugin/WindowsImports.h"

namespace tarvel {
namespace {

constexpr UINT NOT_FOUND_STYLE = MB_ICONINFORMATION;

int platform_ = PLATFORM_NT;
RuntimeStart runtimeStart_ = nullptr;
HINSTANCE instance_ = nullptr;
LPVOID reserved_ = nullptr;
volatile LONG attachPending_ = 0;

}  // namespace

void setPlatform(int platform) {
    platform_ = platform;
}

void deferRuntimeStart(RuntimeStart start, HINSTANCE instance, LPVOID reserved) {
    runtimeStart_ = start;
    instance_ = instance;
    reserved_ = reserved;
    interlockedExchange(&attachPending_, 1);
}

int __cdecl ownWsprintfA(char* out, const char* format, ...) {
    constexpr size_t LIMIT = 1024;  // what the system's formatter writes at most, NUL included
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(out, LIMIT, format, arguments);
    va_end(arguments);
    return length < 0                          ? 0
           : length >= static_cast<int>(LIMIT) ? static_cast<int>(LIMIT - 1)
                                               : length;
}

void* resolveDosImport(const char* name, const char* module) {
    if (HMODULE kernel = GetModuleHandleA("kernel32.dll"))
        if (FARPROC found = GetProcAddress(kernel, name))
            return reinterpret_cast<void*>(found);
    if (FARPROC found = GetProcAddress(GetModuleHandleA(nullptr), name))
        return reinterpret_cast<void*>(found);
    if (HostCallback callback = hostCallback())
        if (intptr_t found = callback(CALLBACK_FIND_FUNCTION, reinterpret_cast<intptr_t>(name)))
            return reinterpret_cast<void*>(found);
    char text[1024];
    wsprintfA(text, "Nie znaleziono\n%s\nfrom %s", name, module);
    systemMessageBox(text, "Blad wtyczki", NOT_FOUND_STYLE);
    return nullptr;
}

int platform() {
    return platform_;
}

bool isNative() {
    return platform_ != PLATFORM_DOS_EXTENDER;
}

void runDeferredRuntimeStart() {
    if (interlockedExchange(&attachPending_, 0) && runtimeStart_)
        runtimeStart_(instance_, DLL_PROCESS_ATTACH, reserved_);
}

}  // namespace tarvel
