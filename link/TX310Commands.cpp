// The one-shot register commands: articles, receipt header and sales counters.
#include <cstring>

#include "link/EcrMessages.h"
#include "link/TX310Comm.h"

namespace kos {

namespace {

constexpr int COMMAND_BEGIN_FRAME_TIMEOUT = 20000;
constexpr int ZERO_COUNTERS_TIMEOUT = 30000;

}  // namespace

int TX310Comm::exchange(const std::string& request, std::string& answer) {
    int rc = sendFrame(request.c_str());
    if (rc != TX310_OK)
        return rc;
    return receiveFrame(answer, true);
}

int TX310Comm::refuseAndRelease() {
    return releaseWith(TX310_ERR_READ);
}

int TX310Comm::releaseWith(int code) {
    int rc = endInLineMode();
    return rc != TX310_OK ? rc : code;
}

int TX310Comm::sendArticles(int port, int baud, bool continueOnError, bool skipFirstSetting,
                            bool skipSecondSetting, uint8_t nr, std::string& reply,
                            ArticleSourceFn source, ArticleProgressFn progress, void* user,
                            int& accepted, int& refused) {
    trace("\n%t START TX310Comm::sendArticles");
    accepted = 0;
    refused = 0;
    int rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    std::string answer;
    if (!skipFirstSetting && (rc = exchange("W38;1;1;", answer)) != TX310_OK)
        return rc;
    if (!skipSecondSetting && (rc = exchange("W38;2;1;", answer)) != TX310_OK)
        return rc;
    for (int i = 0;; ++i) {
        EcrArticle article;
        if (source(reply, i, article, user) != 1)
            return endInLineMode();
        // A ";" inside a field would shift the fields after it; such an article is refused
        // here, as if the register had refused it.
        const bool fits = articleFitsInMessage(article);
        if (fits && (rc = exchange(articleWriteMessage(article), answer)) != TX310_OK)
            return rc;
        const bool ok = fits && answer == "D";
        if (ok)
            ++accepted;
        else
            ++refused;
        if (progress)
            progress(reply, i, article, user, ok ? 1 : 0, accepted, refused);
        if (!ok && !continueOnError)
            return fits ? refuseAndRelease() : releaseWith(TX310_ERR_FORMAT);
    }
}

int TX310Comm::deleteArticles(int port, int baud, uint8_t nr, std::string& reply,
                              ArticleSourceFn source, void* user, int& deleted) {
    trace("\n%t START TX310Comm::deleteArticles");
    deleted = 0;
    int rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    std::string answer;
    for (int i = 0;; ++i) {
        EcrArticle article;
        if (source(reply, i, article, user) != 1)
            return endInLineMode();
        rc = exchange(articleDeleteMessage(article), answer);
        if (rc != TX310_OK)
            return rc;
        if (answer != "D")
            return TX310_ERR_READ;
        ++deleted;
    }
}

int TX310Comm::receiveArticles(int port, int baud, bool continueOnError, uint8_t nr,
                               std::string& reply, ArticleStoreFn store, void* user, int& received,
                               int& errors) {
    trace("\n%t START TX310Comm::receiveArticles");
    received = 0;
    errors = 0;
    int rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    clock().sleepMs(100);
    std::string answer;
    if ((rc = exchange("I0;1;", answer)) != TX310_OK)
        return rc;
    for (int i = 0;; ++i) {
        if (answer == "E")
            return TX310_ERR_READ;
        if (answer == "D")
            return endInLineMode();
        EcrArticle article;
        rc = parseArticleAnswer(answer, article);
        if (rc != TX310_OK)
            return rc;
        int stored = store(reply, i, errors, article, user);
        if (stored == 0 || (stored == 2 && !continueOnError)) {
            endInLineMode();
            return TX310_ERR_ABORTED;
        }
        if (stored == 2)
            ++errors;
        ++received;
        if ((rc = exchange("G", answer)) != TX310_OK)
            return rc;
    }
}

int TX310Comm::sendHeader(int port, int baud, uint8_t nr, std::string& reply,
                          const HeaderLines& lines) {
    trace("\n%t START TX310Comm::sendHeader");
    // Checked before the register is called, so it never keeps part of a new header.
    for (const std::string& line : lines)
        if (!fitsInField(line))
            return TX310_ERR_FORMAT;
    int rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    std::string answer;
    for (int n = 1; n <= HEADER_LINES; ++n) {
        const std::string& line = lines[n - 1];
        std::string text = toEcrText(line.empty() ? std::string(" ") : line);
        rc = exchange("W6;" + std::to_string(n) + ";" + text + ";", answer);
        if (rc != TX310_OK)
            return rc;
        if (answer != "D")
            return refuseAndRelease();
    }
    return endInLineMode();
}

int TX310Comm::receiveHeader(int port, int baud, uint8_t nr, std::string& reply,
                             HeaderLines& lines) {
    trace("\n%t START TX310Comm::receiveHeader");
    int rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    for (int n = 1; n <= HEADER_LINES; ++n) {
        rc = sendFrame(("R6;" + std::to_string(n) + ";").c_str());
        if (rc != TX310_OK)
            return rc;
        clock().sleepMs(200);
        std::string answer;
        if ((rc = receiveFrame(answer, true)) != TX310_OK)
            return rc;
        if (answer == "E")
            return TX310_ERR_READ;
        std::string kind, number, text;
        long lineNumber = 0;
        if (!nextField(answer, kind) || kind != "6" || !nextField(answer, number) ||
            !parseEcrInteger(number, lineNumber) || lineNumber != n || !nextField(answer, text))
            return TX310_ERR_FORMAT;
        lines[n - 1] = fromEcrText(text);
    }
    return endInLineMode();
}

int TX310Comm::zeroCounters(int port, int baud, uint8_t nr, std::string& reply) {
    trace("\n%t START TX310Comm::zeroCounters");
    int rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    if ((rc = sendFrame("B;")) != TX310_OK)
        return rc;
    setBeginFrameTimeout(ZERO_COUNTERS_TIMEOUT);
    std::string answer;
    if ((rc = receiveFrame(answer, true)) != TX310_OK)
        return rc;
    return endInLineMode();
}

}  // namespace kos
