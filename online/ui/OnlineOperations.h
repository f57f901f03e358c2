// What the online document's window asks of the online core beyond the document itself:
// starting and stopping communication and the sales export. The window binds them once; an
// operation left empty keeps its command disabled.
#pragma once

#include <functional>
#include <string>

#include "app/Prompt.h"
#include "app/Settings.h"

namespace kos {

class TarvelServerDoc;

struct OnlineOperations {
    // Starts communication with the settings' directories and port; false leaves it off (the
    // user has been told why).
    std::function<bool(TarvelServerDoc&, const Settings&, Prompt&)> start;
    std::function<void(TarvelServerDoc&, Prompt&)> stop;
    // Writes the export file; reset also zeroes what was written.
    std::function<void(TarvelServerDoc&, const std::string& path, bool reset, Prompt&)> exportSales;
};

// The operations of the online core as the program uses them.
OnlineOperations coreOnlineOperations();

}  // namespace kos
