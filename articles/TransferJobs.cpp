#include "TransferJobs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "link/TX310Commands.h"

namespace kos {

namespace {

// A link object for one job, with the protocol log when the settings ask for it.
class JobLink {
public:
    JobLink(const Settings& settings, Clock& clock) : comm(clock) {
        if (settings.ecrSaveToLog)
            comm.openLog(PROTOCOL_LOG_NAME);
    }
    ~JobLink() { comm.closeLog(); }
    TX310Commands comm;
    std::string reply;
};

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

// The record as the register takes it; a longer name is cut to the record's 20 characters.
void fillRecord(const Article& article, EcrArticle& record) {
    article.plu.text(record.plu);
    const size_t n = std::min(article.name.size(), sizeof record.name - 1);
    std::memcpy(record.name, article.name.data(), n);
    record.name[n] = '\0';
    record.price = article.price;
    record.openPrice = article.openPrice ? 1 : 0;
    record.vat = article.vat;
}

int scaled(int index, int count) {
    return count > 0 ? static_cast<int>(static_cast<long long>(index) * 1000 / count) : 0;
}

uint8_t ecrNumber(const Settings& settings) {
    // Outside 0..99 the link refuses the number itself.
    return static_cast<uint8_t>(std::clamp(settings.ecrNr, 0, 255));
}

}  // namespace

JobResult zeroCountersJob(JobControl& /*control*/, const Settings& settings, Clock& clock) {
    JobLink link(settings, clock);
    const Tx310Code rc =
        link.comm.zeroCounters(settings.port, settings.portSpeed, ecrNumber(settings), link.reply);
    return {rc == TX310_OK, 0, 0};
}

JobResult sendArticlesJob(JobControl& control, const Settings& settings, Articles& articles,
                          Clock& clock) {
    JobLink link(settings, clock);
    const int count = articles.count();
    auto source = [&](const std::string&, int i, EcrArticle& record) {
        if (control.aborted() || i >= count)
            return 0;
        fillRecord(*articles.getAt(i), record);
        return 1;
    };
    auto sent = [&](const std::string&, int i, const EcrArticle&, int ok, int accepted,
                    int refused) {
        articles.getAt(i)->modified = ok == 0;
        control.progress(scaled(i, count),
                         format("Wysyłanie inf. o artykułach z kasy.\r\nWysłano %d błędów %d",
                                accepted, refused));
    };
    JobResult result;
    const Tx310Code rc =
        link.comm.sendArticles(settings.port, settings.portSpeed, settings.continueSendingOnError,
                               false, settings.ecrPrintChanges, ecrNumber(settings), link.reply,
                               source, sent, result.count, result.errors);
    result.success = rc == TX310_OK;
    return result;
}

JobResult deleteArticlesJob(JobControl& control, const Settings& settings, Articles& articles,
                            Clock& clock) {
    JobLink link(settings, clock);
    const int count = articles.count();
    auto source = [&](const std::string&, int i, EcrArticle& record) {
        if (control.aborted())
            return 0;
        control.progress(scaled(i, count),
                         format("Usuwanie inf. o artykułach z kasy.\r\nUsunięto %d", i));
        if (i >= count)
            return 0;
        Article& article = *articles.getAt(i);
        article.modified = true;  // no longer in the register
        fillRecord(article, record);
        return 1;
    };
    JobResult result;
    const Tx310Code rc = link.comm.deleteArticles(
        settings.port, settings.portSpeed, ecrNumber(settings), link.reply, source, result.count);
    result.success = rc == TX310_OK;
    return result;
}

JobResult receiveArticlesJob(JobControl& control, const Settings& settings, Articles& articles,
                             Clock& clock) {
    JobLink link(settings, clock);
    auto store = [&](const std::string&, int i, int errors, const EcrArticle& record) {
        if (control.aborted())
            return 0;
        control.progress(
            static_cast<int>(static_cast<long long>(i) * 1000 / RECEIVE_PROGRESS_SCALE),
            format("Odbieranie inf. o artykułach z kasy.\r\nOdebrano %d, błędów %d", i, errors));
        auto article = std::make_unique<Article>();
        article->modified = false;
        article->name = record.name;
        if (!article->plu.parse(record.plu))
            return 2;
        article->price = record.price;
        article->openPrice = record.openPrice != 0;
        article->vat = record.vat;
        article->saleQuantity = record.quantity;
        article->saleValue = record.amount;
        return articles.add(article) ? 1 : 2;
    };
    JobResult result;
    const Tx310Code rc = link.comm.receiveArticles(
        settings.port, settings.portSpeed, settings.continueSendingOnError, ecrNumber(settings),
        link.reply, store, result.count, result.errors);
    result.success = rc == TX310_OK;
    return result;
}

JobResult sendHeaderJob(JobControl& /*control*/, const Settings& settings, const ECRHeader& header,
                        Clock& clock) {
    JobLink link(settings, clock);
    HeaderLines lines;
    for (int n = 0; n < HEADER_LINES; ++n)
        lines[n] = ECRHeader::alignedLine(header.lines[n], header.alignment);
    const Tx310Code rc = link.comm.sendHeader(settings.port, settings.portSpeed,
                                              ecrNumber(settings), link.reply, lines);
    return {rc == TX310_OK, 0, 0};
}

JobResult receiveHeaderJob(JobControl& /*control*/, const Settings& settings, ECRHeader& header,
                           Clock& clock) {
    JobLink link(settings, clock);
    HeaderLines lines;
    const Tx310Code rc = link.comm.receiveHeader(settings.port, settings.portSpeed,
                                                 ecrNumber(settings), link.reply, lines);
    if (rc != TX310_OK)
        return {false, 0, 0};
    header.alignment = ECRHeader::LEFT;
    header.lines = lines;
    return {true, 0, 0};
}

}  // namespace kos
