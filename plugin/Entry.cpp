// The library's entry points: the one exported function and the load and unload hooks.
#include "plugin/HostApi.h"
#include "plugin/Plugin.h"

namespace {

// 0 Windows NT family, 1 Windows 9x family, 2 under the DOS extender; this build always runs
// natively, so the runtime is started by the loader and never deferred to DLLMain.
int platform_ = 0;

__attribute__((constructor)) void attach() {
    platform_ = 0;
}

__attribute__((destructor)) void detach() {}

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t DLLMain(HostCallback callback,
                                                                  char* buffer) {
    if (!callback) {
        tarvel::shutDownPlugin();
        return 0;
    }
    return tarvel::startPlugin(callback, buffer);
}
