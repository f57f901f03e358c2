// The loader entry of the shared object: its constructor. The runtime is started by the system
// loader, so nothing is ever deferred.
#include "plugin/Loader.h"

namespace tarvel {
namespace {

int platform_ = PLATFORM_NT;

__attribute__((constructor)) void attach() {
    platform_ = PLATFORM_NT;
}

}  // namespace

int platform() {
    return platform_;
}

bool isNative() {
    return platform_ != PLATFORM_DOS_EXTENDER;
}

void runDeferredRuntimeStart() {}

}  // namespace tarvel
