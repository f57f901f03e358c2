#include "link/TX310Commands.h"

#include "link/EcrMessages.h"
#include "link/TX310Text.h"

namespace kos {

namespace {

constexpr int COMMAND_BEGIN_FRAME_TIMEOUT = 20000;
constexpr int ZERO_COUNTERS_TIMEOUT = 30000;

}  // namespace

Tx310Code TX310Commands::exchange(const std::string& request, std::string& answer) {
    Tx310Code rc = sendFrame(request.c_str());
    if (rc != TX310_OK)
        return rc;
    return receiveFrame(answer, true);
}

Tx310Code TX310Commands::refuseAndRelease() {
    return releaseWith(TX310_ERR_READ);
}

Tx310Code TX310Commands::releaseWith(Tx310Code code) {
    Tx310Code rc = endInLineMode();
    return rc != TX310_OK ? rc : code;
}

Tx310Code TX310Commands::sendArticles(int port, int baud, bool continueOnError,
                                      bool skipFirstSetting, bool skipSecondSetting, uint8_t nr,
                                      std::string& reply, const ArticleSourceFn& source,
                                      const ArticleProgressFn& progress, int& accepted,
                                      int& refused) {
    trace("\n%t START TX310Comm::sendArticles");
    accepted = 0;
    refused = 0;
    Tx310Code rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    std::string answer;
    if (!skipFirstSetting && (rc = exchange("W38;1;1;", answer)) != TX310_OK)
        return rc;
    if (!skipSecondSetting && (rc = exchange("W38;2;1;", answer)) != TX310_OK)
        return rc;
    for (int i = 0;; ++i) {
        EcrArticle article;
        if (source(reply, i, article) != 1)
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
            progress(reply, i, article, ok ? 1 : 0, accepted, refused);
        if (!ok && !continueOnError)
            return fits ? refuseAndRelease() : releaseWith(TX310_ERR_FORMAT);
    }
}

Tx310Code TX310Commands::deleteArticles(int port, int baud, uint8_t nr, std::string& reply,
                                        const ArticleSourceFn& source, int& deleted) {
    trace("\n%t START TX310Comm::deleteArticles");
    deleted = 0;
    Tx310Code rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
    if (rc != TX310_OK)
        return rc;
    std::string answer;
    for (int i = 0;; ++i) {
        EcrArticle article;
        if (source(reply, i, article) != 1)
            return endInLineMode();
        rc = exchange(articleDeleteMessage(article), answer);
        if (rc != TX310_OK)
            return rc;
        if (answer != "D")
            return TX310_ERR_READ;
        ++deleted;
    }
}

Tx310Code TX310Commands::receiveArticles(int port, int baud, bool continueOnError, uint8_t nr,
                                         std::string& reply, const ArticleStoreFn& store,
                                         int& received, int& errors) {
    trace("\n%t START TX310Comm::receiveArticles");
    received = 0;
    errors = 0;
    Tx310Code rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
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
        int stored = store(reply, i, errors, article);
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

Tx310Code TX310Commands::sendHeader(int port, int baud, uint8_t nr, std::string& reply,
                                    const HeaderLines& lines) {
    trace("\n%t START TX310Comm::sendHeader");
    // Checked before the register is called, so it never keeps part of a new header.
    for (const std::string& line : lines)
        if (!fitsInField(line))
            return TX310_ERR_FORMAT;
    Tx310Code rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
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

Tx310Code TX310Commands::receiveHeader(int port, int baud, uint8_t nr, std::string& reply,
                                       HeaderLines& lines) {
    trace("\n%t START TX310Comm::receiveHeader");
    Tx310Code rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
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

Tx310Code TX310Commands::zeroCounters(int port, int baud, uint8_t nr, std::string& reply) {
    trace("\n%t START TX310Comm::zeroCounters");
    Tx310Code rc = initInLineMode(port, baud, COMMAND_BEGIN_FRAME_TIMEOUT, nr, reply);
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
