// The article document type ("Artykuły", "*.dat") as the shell sees it: its document string,
// the article list and header views, its commands and its menu.
#pragma once

namespace kos {

class DocManager;

inline constexpr const char* ARTICLE_DOC_STRING =
    "\nArtykuły\nArtykuły\nArtykuły (*.dat)\n.dat\nArtykułyt\nArtykuly.Document";

// Adds the article template and the header template. Only a registered article template
// takes part in "Nowy", "Otwórz" and the recent files; the header template only describes
// the header window.
void addArticleTemplates(DocManager& manager, bool registered);

}  // namespace kos
