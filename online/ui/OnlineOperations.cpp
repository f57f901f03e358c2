#include "online/ui/OnlineOperations.h"

namespace kos {

OnlineOperations coreOnlineOperations() {
    OnlineOperations ops;
    // Bound to the document's startOnline, stopOnline and export once the core offers them.
    return ops;
}

}  // namespace kos
