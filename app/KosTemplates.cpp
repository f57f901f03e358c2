#include "app/KosTemplates.h"

#include "online/ui/OnlineTemplate.h"
#include "shell/DocManager.h"

namespace kos {

void addKosTemplates(DocManager& manager) {
    // The article and header templates only describe the article document's windows; no
    // command creates or opens an article document, so neither is registered.
    const QString articleString = QString::fromUtf8(ARTICLE_DOC_STRING);
    manager.addTemplate(std::make_unique<DocTemplate>(articleString, nullptr), false);
    manager.addTemplate(std::make_unique<DocTemplate>(articleString, nullptr), false);
    registerOnlineTemplate(manager);
}

}  // namespace kos
