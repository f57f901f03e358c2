// The register's one-shot commands: articles, receipt header and sales counters. Each opens the
// port, calls register nr, runs its whole exchange and releases the register; reply receives the
// register's first reply and is handed to every callback.
#pragma once

#include <cstdint>
#include <string>

#include "base/Clock.h"
#include "link/EcrArticle.h"
#include "link/TX310Comm.h"
#include "link/Tx310Codes.h"

namespace kos {

class TX310Commands : public TX310Comm {
public:
    explicit TX310Commands(Clock& clock = systemClock()) : TX310Comm(clock) {}

    // progress may be empty.
    Tx310Code sendArticles(int port, int baud, bool continueOnError, bool skipFirstSetting,
                           bool skipSecondSetting, uint8_t nr, std::string& reply,
                           const ArticleSourceFn& source, const ArticleProgressFn& progress,
                           int& accepted, int& refused);
    Tx310Code deleteArticles(int port, int baud, uint8_t nr, std::string& reply,
                             const ArticleSourceFn& source, int& deleted);
    Tx310Code receiveArticles(int port, int baud, bool continueOnError, uint8_t nr,
                              std::string& reply, const ArticleStoreFn& store, int& received,
                              int& errors);
    Tx310Code sendHeader(int port, int baud, uint8_t nr, std::string& reply,
                         const HeaderLines& lines);
    Tx310Code receiveHeader(int port, int baud, uint8_t nr, std::string& reply, HeaderLines& lines);
    Tx310Code zeroCounters(int port, int baud, uint8_t nr, std::string& reply);

private:
    // Sends one request and reads its answer.
    Tx310Code exchange(const std::string& request, std::string& answer);
    // Releases the register after a refusal: endInLineMode's code if it failed, else
    // TX310_ERR_READ.
    Tx310Code refuseAndRelease();
    // endInLineMode, then its code if that failed, else code.
    Tx310Code releaseWith(Tx310Code code);
};

}  // namespace kos
