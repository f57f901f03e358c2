// Where the article windows get their register exchanges from. The program installs one
// maker; without it the communication commands report the communication error.
#pragma once

#include <memory>

#include "articles/Articles.h"
#include "articles/ECRHeader.h"
#include "articles/ui/CommJob.h"
#include "base/Settings.h"

namespace kos {

class ArticleJobs {
public:
    virtual ~ArticleJobs() = default;
    // Each job reads the settings it needs when it starts; the collection or header belongs to
    // the caller, which waits in the progress dialog until the job has finished.
    virtual std::unique_ptr<CommJob> zeroCounters(const Settings& settings) = 0;
    virtual std::unique_ptr<CommJob> sendArticles(const Settings& settings, Articles& articles) = 0;
    virtual std::unique_ptr<CommJob> deleteArticles(const Settings& settings,
                                                    Articles& articles) = 0;
    virtual std::unique_ptr<CommJob> receiveArticles(const Settings& settings,
                                                     Articles& articles) = 0;
    // Sends ECRHeader::alignedLine of each line; runs to its end whatever "Przerwij" says.
    virtual std::unique_ptr<CommJob> sendHeader(const Settings& settings,
                                                const ECRHeader& header) = 0;
    // On success sets alignment 0 and the five lines as the register gave them.
    virtual std::unique_ptr<CommJob> receiveHeader(const Settings& settings, ECRHeader& header) = 0;
};

// The maker the windows use; none until the program sets one.
ArticleJobs* articleJobs();
void setArticleJobs(ArticleJobs* jobs);

}  // namespace kos
