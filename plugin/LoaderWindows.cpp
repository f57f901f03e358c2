// The library's entry for the Windows loader: the platform test, no thread notifications, the
// runtime start deferred to DLLMain under the DOS extender; and the hook on the lazy loading of
// the system functions the runtime takes from "32DOS.dll" and the user-interface library.
// Part of tarvel.dll only: it replaces the runtime's own entry.
#include <windows.h>
// windows.h first
#include <delayimp.h>

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
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(LoadLibraryA("KERNEL32.dll")));
    if (notification != dliNotePreGetProcAddress || !info->dlp.fImportByName)
        return nullptr;
    if (std::strcmp(info->dlp.szProcName, "wsprintfA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&ownWsprintfA));
    if (!sameModule(info->szDll, DOS_MODULE))
        return nullptr;
    // Nothing found: the ordinary resolution fails as well and raises the lazy-loading failure.
    return reinterpret_cast<FARPROC>(resolveDosImport(info->dlp.szProcName, info->szDll));
}

}  // namespace

}  // namespace tarvel

extern "C" {

PfnDliHook __pfnDliNotifyHook2 = &tarvel::delayLoadHook;

// The entry point the linker names for the library (instead of the runtime's own).
BOOL WINAPI tarvelLoaderEntry(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    using namespace tarvel;
    if (reason == DLL_PROCESS_ATTACH) {
        setPlatform(detectPlatform());
        disableThreadNotifications(instance);
    }
    if (isNative() || reason != DLL_PROCESS_ATTACH)
        return DllMainCRTStartup(instance, reason, reserved);
    deferRuntimeStart(&DllMainCRTStartup, instance, reserved);
    return TRUE;
}
}
