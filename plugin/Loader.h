// What the system loader entry found out when the library was attached.
#pragma once

namespace tarvel {

constexpr int PLATFORM_NT = 0;
constexpr int PLATFORM_9X = 1;
constexpr int PLATFORM_DOS_EXTENDER = 2;

int platform();
// False only under the DOS extender, where the runtime start waits for the host's callback.
bool isNative();
// Runs the runtime start the loader entry deferred; does nothing when none is pending.
void runDeferredRuntimeStart();

}  // namespace tarvel
