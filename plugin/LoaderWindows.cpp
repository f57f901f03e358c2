// The library's entry for the Windows loader: the platform test, no thread notifications, the
// runtime start deferred to DLLMain under the DOS extender; and the hook on the lazy loading of
// the system functions the runtime takes from "32DOS.dll" and the user-interface library.
// Part of tarvel.dll only: it replaces the runtime's own entry.
#include <windows.h>
// windows.h first
#include <delayimp.h>

#include <cstdint>

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

#if defined(__i386__)
// Register-preserving system calls (x86). Each import of the system base library named here is
// rerouted, once per process, through a wrapper that saves all eight general-purpose registers,
// calls the saved function with the caller's arguments, leaves its result in the saved result
// register, restores the registers and removes the arguments. The table lists the library's own
// imports with their number of 32-bit arguments.
struct WrappedImport {
    const char* name;
    unsigned char arguments;
};

constexpr WrappedImport WRAPPED_IMPORTS[] = {
    {"AddVectoredExceptionHandler", 2},
    {"CloseHandle", 1},
    {"CreateFileA", 7},
    {"CreateSemaphoreA", 4},
    {"DeleteCriticalSection", 1},
    {"DeleteFileA", 1},
    {"DuplicateHandle", 7},
    {"EnterCriticalSection", 1},
    {"FindClose", 1},
    {"FindFirstFileA", 2},
    {"FindNextFileA", 2},
    {"FlushFileBuffers", 1},
    {"FlushInstructionCache", 3},
    {"FreeLibrary", 1},
    {"GetCurrentProcess", 0},
    {"GetCurrentProcessId", 0},
    {"GetCurrentThread", 0},
    {"GetCurrentThreadId", 0},
    {"GetFileSizeEx", 2},
    {"GetHandleInformation", 2},
    {"GetLastError", 0},
    {"GetModuleFileNameA", 3},
    {"GetModuleHandleA", 1},
    {"GetModuleHandleW", 1},
    {"GetProcAddress", 2},
    {"GetProcessAffinityMask", 3},
    {"GetSystemTimeAsFileTime", 1},
    {"GetThreadContext", 2},
    {"GetThreadPriority", 1},
    {"GetTickCount64", 0},
    {"GetVersion", 0},
    {"InitializeCriticalSection", 1},
    {"IsDBCSLeadByteEx", 2},
    {"IsDebuggerPresent", 0},
    {"LeaveCriticalSection", 1},
    {"LoadLibraryA", 1},
    {"LoadLibraryW", 1},
    {"LocalAlloc", 2},
    {"LocalFree", 1},
    {"OpenProcess", 3},
    {"OutputDebugStringA", 1},
    {"RaiseException", 4},
    {"ReleaseSemaphore", 3},
    {"RemoveVectoredExceptionHandler", 1},
    {"ResumeThread", 1},
    {"SetEndOfFile", 1},
    {"SetFilePointerEx", 5},
    {"SetLastError", 1},
    {"SetProcessAffinityMask", 2},
    {"SetThreadContext", 2},
    {"SetThreadPriority", 2},
    {"Sleep", 1},
    {"SuspendThread", 1},
    {"TlsAlloc", 0},
    {"TlsGetValue", 1},
    {"TlsSetValue", 2},
    {"TryEnterCriticalSection", 1},
    {"VirtualAlloc", 4},
    {"VirtualProtect", 4},
    {"VirtualQuery", 3},
    {"WaitForMultipleObjects", 4},
    {"WaitForSingleObject", 2},
    {"WriteFile", 5},
};
constexpr size_t WRAPPER_COUNT = sizeof(WRAPPED_IMPORTS) / sizeof(WRAPPED_IMPORTS[0]);
constexpr size_t WRAPPER_BYTES = 64;

bool importsWrapped_ = false;  // the loader serialises its entry, so a plain flag will do
void* savedImports_[WRAPPER_COUNT];

// pushad; the arguments pushed again, last first; call [saved]; mov [esp+28],eax; popad; ret 4n
void writeWrapper(unsigned char* code, void** saved, unsigned arguments) {
    size_t at = 0;
    code[at++] = 0x60;
    const unsigned char lastArgument = static_cast<unsigned char>(36 + 4 * (arguments - 1));
    for (unsigned i = 0; i < arguments; ++i) {
        const unsigned char push[] = {0xFF, 0x74, 0x24, lastArgument};
        std::memcpy(code + at, push, sizeof(push));
        at += sizeof(push);
    }
    code[at++] = 0xFF;
    code[at++] = 0x15;
    auto address = reinterpret_cast<uintptr_t>(saved);
    std::memcpy(code + at, &address, 4);
    at += 4;
    const unsigned char keepResult[] = {0x89, 0x44, 0x24, 0x1C, 0x61, 0xC2};
    std::memcpy(code + at, keepResult, sizeof(keepResult));
    at += sizeof(keepResult);
    auto bytes = static_cast<uint16_t>(4 * arguments);
    std::memcpy(code + at, &bytes, 2);
}

void setSlot(ULONG_PTR* slot, void* target) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old))
        return;
    *slot = reinterpret_cast<ULONG_PTR>(target);
    VirtualProtect(slot, sizeof(*slot), old, &old);
}

BOOL WINAPI createProcessThroughHost(LPCSTR application, LPSTR commandLine,
                                     LPSECURITY_ATTRIBUTES process, LPSECURITY_ATTRIBUTES thread,
                                     BOOL inherit, DWORD flags, LPVOID environment, LPCSTR folder,
                                     LPSTARTUPINFOA startup, LPPROCESS_INFORMATION information) {
    typedef BOOL(WINAPI * CreateProcessFn)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES,
                                           LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
                                           LPSTARTUPINFOA, LPPROCESS_INFORMATION);
    void* target = boundHostFunction(HostFunction::CreateProcessANew);
    if (!target || target == ignoreSubstitute())
        return FALSE;
    return reinterpret_cast<CreateProcessFn>(target)(application, commandLine, process, thread,
                                                     inherit, flags, environment, folder, startup,
                                                     information);
}

void wrapSystemImports(HMODULE self) {
    if (importsWrapped_)
        return;
    importsWrapped_ = true;
    auto* base = reinterpret_cast<unsigned char*>(self);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* code = static_cast<unsigned char*>(VirtualAlloc(
        nullptr, WRAPPER_COUNT * WRAPPER_BYTES, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!imports.VirtualAddress || !code)
        return;
    size_t used = 0;
    ULONG_PTR* processCreation = nullptr;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        if (!sameModule(reinterpret_cast<const char*>(base + module->Name), "KERNEL32.dll"))
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (module->OriginalFirstThunk ? module->OriginalFirstThunk : module->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const char* name = reinterpret_cast<const char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
            if (std::strcmp(name, "CreateProcessA") == 0)
                processCreation = &slots->u1.Function;
            for (const WrappedImport& wrapped : WRAPPED_IMPORTS) {
                if (std::strcmp(wrapped.name, name) != 0 || used == WRAPPER_COUNT)
                    continue;
                savedImports_[used] = reinterpret_cast<void*>(slots->u1.Function);
                writeWrapper(code + used * WRAPPER_BYTES, &savedImports_[used], wrapped.arguments);
                setSlot(&slots->u1.Function, code + used * WRAPPER_BYTES);
                ++used;
            }
        }
    }
    FlushInstructionCache(GetCurrentProcess(), code, used * WRAPPER_BYTES);
    if (processCreation)
        setSlot(processCreation, reinterpret_cast<void*>(&createProcessThroughHost));
}
#endif

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
#if defined(__i386__)
        wrapSystemImports(instance);
#endif
        setPlatform(detectPlatform());
        disableThreadNotifications(instance);
    }
    if (isNative() || reason != DLL_PROCESS_ATTACH)
        return DllMainCRTStartup(instance, reason, reserved);
    deferRuntimeStart(&DllMainCRTStartup, instance, reserved);
    return TRUE;
}
}
