#include "articles/ui/ArticleJobs.h"

namespace kos {

namespace {

ArticleJobs* installed = nullptr;

}  // namespace

ArticleJobs* articleJobs() {
    return installed;
}

void setArticleJobs(ArticleJobs* jobs) {
    installed = jobs;
}

}  // namespace kos
