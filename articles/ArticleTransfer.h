// The register commands of the article document: send all, send selected, read, delete all,
// delete selected, zero the counters, send and read the header. Questions, successes and
// failures go through the prompt; the jobs run in the host. The caller refreshes its views
// afterwards (the marks after sending and deleting, the whole list after reading).
#pragma once

#include <string>
#include <vector>

#include "articles/EcrDoc.h"
#include "articles/JobHost.h"
#include "base/Prompt.h"
#include "base/Settings.h"

namespace kos {

inline constexpr const char* TEXT_SEND_ALL_QUESTION = "Czy chcesz wysłać artykuły do kasy?";
inline constexpr const char* TEXT_SEND_ALL_DELETE_MISSING =
    "Usuwać z kasy art., których nie ma w programie";
inline constexpr const char* TEXT_COMM_FAILED =
    "Błąd podczas komunikacji z kasą lub operacja przerwana przez użytkownika.";
inline constexpr const char* TEXT_COMM_DONE = "Operacja komunikacji z kasą zakończona poprawnie.";

class ArticleTransfer {
public:
    // The jobs open the port of the settings on the device the settings give it.
    ArticleTransfer(EcrDoc& doc, const Settings& settings, JobHost& host, Prompt& prompt);

    // After "Tak" in the send dialog (question and check box above); deleteMissing is the
    // check box. True when every job succeeded.
    bool sendAll(bool deleteMissing);
    bool sendSelected(const std::vector<Article*>& selected);
    // The document's articles are gone once the question is answered Yes, whatever follows.
    bool read();
    bool deleteAll();
    bool deleteSelected(const std::vector<Article*>& selected);
    bool zeroCounters();
    bool sendHeader();
    // The header is cleared once the question is answered Yes, whatever follows.
    bool readHeader();

    // The register's articles whose PLU the document has are removed from inRegister.
    static void removeListed(const Articles& document, Articles& inRegister);

private:
    // Send or delete of a borrowed selection of the document's articles.
    bool withSelection(const std::vector<Article*>& selected, bool send);
    JobResult sendJob(const std::string& label, Articles& articles);
    JobResult deleteJob(Articles& articles);
    bool failed();

    EcrDoc& doc_;
    const Settings& settings_;
    JobHost& host_;
    Prompt& prompt_;
};

}  // namespace kos
