// Command identifiers only the article document's windows handle (menus "Edycja",
// "Komunikacja" and "Okno" of the article document).
#pragma once

namespace kos::cmd {

enum : int {
    WINDOW_ARTICLES = 163,
    WINDOW_HEADER = 164,
    ECR_SEND = 32775,  // articles or, in the header view, the header
    ECR_SEND_SELECTED = 32776,
    ECR_DELETE_ALL = 32777,
    ECR_DELETE_SELECTED = 32778,
    ECR_ZERO_COUNTERS = 32780,
    FIND_ARTICLE = 32781,
    ECR_READ = 32783,  // articles or, in the header view, the header
    SELECT_MODIFIED = 32784,
    SELECT_UNMODIFIED = 32785,
    FIND_ECR = 32786,
};

}  // namespace kos::cmd
