// The online document type ("Praca OnLine", "*.dsr") as the shell sees it: its document string,
// its register list view, its commands and its menu.
#pragma once

namespace kos {

class DocManager;

// Document string of the online template.
inline constexpr const char* ONLINE_DOC_STRING =
    "Praca OnLine\n\nPraca OnLine\nPraca OnLine (*.dsr)\n.dsr\nPracaOnLine.Document\nTarvel "
    "Document";

// Name of the register list view.
inline constexpr const char* REGISTER_LIST_VIEW = "registers";

// Adds the online template to the manager as a registered one (New and Open make it).
void registerOnlineTemplate(DocManager& manager);

}  // namespace kos
