// The Windows build's loader state and its own answers to the lazy loading of system functions.
#pragma once

#include <windows.h>

namespace tarvel {

typedef BOOL(WINAPI* RuntimeStart)(HANDLE instance, DWORD reason, LPVOID reserved);

void setPlatform(int platform);
// Under the DOS extender: the runtime start waits for DLLMain (runDeferredRuntimeStart).
void deferRuntimeStart(RuntimeStart start, HINSTANCE instance, LPVOID reserved);

// Served in place of the user-interface library's "wsprintfA": formatting needs no windows.
int __cdecl ownWsprintfA(char* out, const char* format, ...);

// A function of "32DOS.dll": from the system base library, else from the host executable's
// exports, else from the host callback. Null, after telling the user, when none has it.
void* resolveDosImport(const char* name, const char* module);

// InterlockedExchange as "ILOCK.dll" supplies it in the host's environment.
LONG interlockedExchange(volatile LONG* target, LONG value);

}  // namespace tarvel
