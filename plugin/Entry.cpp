// The one exported function of the plug-in.
#include "plugin/HostApi.h"
#include "plugin/Loader.h"
#include "plugin/Plugin.h"

extern "C" TARVEL_EXPORT int32_t TARVEL_CALLEE_CLEANS DLLMain(HostCallback callback, char* buffer) {
    if (!callback) {
        tarvel::shutDownPlugin();
        return 0;
    }
    return tarvel::startPlugin(callback, buffer);
}
