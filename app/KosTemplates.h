// The document types of KOS, in the order the program makes their templates.
#pragma once

namespace kos {

class DocManager;

// Document string of the article and header templates.
inline constexpr const char* ARTICLE_DOC_STRING =
    "\nArtykuły\nArtykuły\nArtykuły (*.dat)\n.dat\nArtykułyt\nArtykuly.Document";

// The article template, the header template and the online template; only the online one is
// registered, so New and Open make online documents.
void addKosTemplates(DocManager& manager);

}  // namespace kos
