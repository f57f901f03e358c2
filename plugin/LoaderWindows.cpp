// The library's entry for the Windows loader: the platform test, no thread notifications, the
// runtime start deferred to DLLMain under the DOS extender; and the hook on the lazy loading of
// the system functions the runtime takes from "32DOS.dll" and the user-interface library.
#include <windows.h>
// windows.h first
#include <delayimp.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "plugin/HostApi.h"
#include "plugin/HostBinding.h"
#include "plugin/Loader.h"
#include "plugin/System.h"
#include "plugin/WindowsImports.h"

extern "C" BOOL WINAPI DllMainCRTStartup(HANDLE instance, DWORD reason, LPVOID reserved);

namespace tarvel {
namespace {

constexpr const char* DOS_MODULE = "32DOS.dll";
constexpr UINT NOT_FOUND_STYLE = MB_ICONINFORMATION;

int platform_ = PLATFORM_NT;
HINSTANCE instance_ = nullptr;
LPVOID reserved_ = nullptr;
volatile LONG attachPending_ = 0;

int detectPlatform() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel && GetProcAddress(kernel, "Borland32"))
        return PLATFORM_DOS_EXTENDER;
    return (GetVersion() & 0x80000000u) ? PLATFORM_9X : PLATFORM_NT;
}

void disableThreadNotifications(HINSTANCE instance) {
    typedef BOOL(WINAPI * DisableFn)(HMODULE);
    HMODULE kernel = GetModuleHandleA("Kernel32");
    auto disable = kernel ? reinterpret_cast<DisableFn>(reinterpret_cast<void*>(
                                GetProcAddress(kernel, "DisableThreadLibraryCalls")))
                          : nullptr;
    if (disable)
        disable(instance);
}

// No string function of the system here: those are themselves loaded through this hook.
bool sameModule(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a + 32) : *a;
        char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b + 32) : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

FARPROC WINAPI delayLoadHook(unsigned notification, PDelayLoadInfo info) {
    if (notification == dliNotePreLoadLibrary && sameModule(info->szDll, DOS_MODULE))
        return reinterpret_cast<FARPROC>(LoadLibraryA("KERNEL32.dll"));
    if (notification != dliNotePreGetProcAddress || !info->dlp.fImportByName)
        return nullptr;
    if (std::strcmp(info->dlp.szProcName, "wsprintfA") == 0)
        return reinterpret_cast<FARPROC>(&ownWsprintfA);
    if (!sameModule(info->szDll, DOS_MODULE))
        return nullptr;
    // Nothing found: the ordinary resolution fails as well and raises the lazy-loading failure.
    return reinterpret_cast<FARPROC>(resolveDosImport(info->dlp.szProcName, info->szDll));
}

}  // namespace

int __cdecl ownWsprintfA(char* out, const char* format, ...) {
    constexpr size_t LIMIT = 1024;  // what the system's formatter writes at most, NUL included
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(out, LIMIT, format, arguments);
    va_end(arguments);
    return length < 0 ? 0 : length >= static_cast<int>(LIMIT) ? static_cast<int>(LIMIT - 1) : length;
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
    if (interlockedExchange(&attachPending_, 0))
        DllMainCRTStartup(instance_, DLL_PROCESS_ATTACH, reserved_);
}

}  // namespace tarvel

extern "C" {

PfnDliHook __pfnDliNotifyHook2 = &tarvel::delayLoadHook;

// The entry point the linker names for the library (instead of the runtime's own).
BOOL WINAPI tarvelLoaderEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    using namespace tarvel;
    if (reason == DLL_PROCESS_ATTACH) {
        platform_ = detectPlatform();
        disableThreadNotifications(instance);
    }
    if (isNative() || reason != DLL_PROCESS_ATTACH)
        return DllMainCRTStartup(instance, reason, reserved);
    instance_ = instance;
    reserved_ = reserved;
    interlockedExchange(&attachPending_, 1);
    return TRUE;
}
}
