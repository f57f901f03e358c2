// The document types of KOS, in the order the program makes their templates.
#pragma once

namespace kos {

class DocManager;

// The article template, the header template and the online template. Only the online one is
// registered, so New and Open make online documents, unless the setting ArticleDocuments is 1.
void addKosTemplates(DocManager& manager);
// The same with the article template registered too (KOS --articles).
void addKosTemplatesWithArticles(DocManager& manager);

}  // namespace kos
