#include "app/KosTemplates.h"

#include "articles/ui/ArticleTemplate.h"
#include "base/Settings.h"
#include "online/ui/OnlineTemplate.h"
#include "shell/DocManager.h"

namespace kos {

namespace {

void addTemplates(DocManager& manager, bool articles) {
    addArticleTemplates(manager, articles);
    registerOnlineTemplate(manager);
}

}  // namespace

void addKosTemplates(DocManager& manager) {
    const auto wanted = manager.context().store.getInt(SETTINGS_SECTION, "ArticleDocuments");
    addTemplates(manager, wanted && *wanted == 1);
}

void addKosTemplatesWithArticles(DocManager& manager) {
    addTemplates(manager, true);
}

}  // namespace kos
