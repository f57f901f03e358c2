// The commands of kos-articles. Each returns the exit status: 0, or 1 after its failure was
// reported on standard error.
#pragma once

#include "ArticlesOptions.h"
#include "base/Prompt.h"
#include "base/Settings.h"

namespace kos {

int exportArticles(const ArticlesOptions& options, const Settings& settings, Prompt& prompt);
int importArticles(const ArticlesOptions& options, Prompt& prompt);
int addArticle(const ArticlesOptions& options, Prompt& prompt);
int editHeader(const ArticlesOptions& options, Prompt& prompt);

}  // namespace kos
