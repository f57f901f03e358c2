// The server article job and its transfer texts, run in the polls of a simulated register.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CommSupport.h"
#include "Simulator.h"
#include "articles/Articles.h"
#include "online/ServerTransfer.h"
#include "online/TarvelServerDoc.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

Article* article(const char* plu, const char* name, int32_t price) {
    auto* a = new Article;
    a->plu.parse(plu);
    a->name = name;
    a->price = price;
    a->vat = 0;
    return a;
}

class ServerJobTest : public ::testing::Test {
protected:
    void start(ecrsim::SimOptions options) {
        options.registers = {4};
        sim = std::make_unique<ecrsim::Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->open(error)) << error;
        sim->start();
        ASSERT_TRUE(
            doc.serverLog().open(tmp.file("TarvelServer.log"), LogFile::LOG_CLOSE_EACH_WRITE));
        ASSERT_TRUE(doc.link().openDevice(sim->slavePath(), 9600));
        ASSERT_TRUE(doc.link().setReadTimeouts(20, 2));
        doc.link().setBeginFrameTimeout(200);
        ASSERT_EQ(0, doc.addRegister(4));
    }
    void TearDown() override {
        doc.link().close();
        if (sim)
            sim->stop();
    }
    EcrOnLineComm& slot() { return *doc.slotAt(0); }
    // Polls until the transfer ends; its events in order.
    std::vector<TransferEvent> run(ServerTransfer& t) {
        std::vector<TransferEvent> events;
        t.place();
        for (int i = 0; i < 2000 && !t.ended(); ++i) {
            doc.pollSlot(0);
            TransferEvent e;
            while (t.nextEvent(e, 0))
                events.push_back(e);
        }
        return events;
    }

    FixedDateClock clock;
    TempDir tmp;
    TarvelServerDoc doc{clock};
    std::unique_ptr<ecrsim::Simulator> sim;
};

TEST_F(ServerJobTest, SendCountsRefusalsAndKeepsTheirMarks) {
    ecrsim::SimOptions options;
    options.refusedPlus = {"00000000000002"};
    start(options);
    struct Case {
        int articles;
        bool continueOnError;
        int code;
        std::string text;
        std::vector<bool> modified;
    } cases[] = {
        {0, false, JobFinished, "Wysłano artykuły do kasy.\nWysłano 0, błędów 0", {}},
        {3,
         true,
         JobFinished,
         "Wysłano artykuły do kasy.\nWysłano 2, błędów 1",
         {false, true, false}},
        {3,
         false,
         JobFailed,
         "Błąd podczas wysłania artykułów do kasy.\nWysłano 1, błędów 1",
         {false, true, true}},
    };
    for (const Case& c : cases) {
        Articles list;
        const char* plus[] = {"1", "2", "3"};
        for (int i = 0; i < c.articles; ++i)
            list.add(article(plus[i], plus[i], 100 + i));
        ServerTransfer t(slot().job, true, list, c.continueOnError);
        const auto events = run(t);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(c.code, events.back().code);
        EXPECT_EQ(c.text, events.back().text);
        std::vector<bool> marks;
        for (const Article* a : list)
            marks.push_back(a->modified);
        EXPECT_EQ(c.modified, marks);
        if (c.articles == 3) {
            EXPECT_EQ("Wysłano 1 błędów 0", events.front().text);
        }
        EXPECT_FALSE(slot().job.pending());
    }
}

TEST_F(ServerJobTest, ReadEndsAtTheTableEndAndFailsOnAPluAlreadyListed) {
    ecrsim::SimOptions options;
    start(options);
    Articles empty;
    ServerTransfer first(slot().job, false, empty, false);
    auto events = run(first);
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ("Odebrano 0 artykułów z kasy.", events[0].text);

    sim->withRegister(4, [](ecrsim::SimRegister& r) {
        r.articles["00000000000005"] = {"00000000000005", "CHLEB", 1, 350, 0, 2500, 875};
        r.articles["00000000000009"] = {"00000000000009", "MLEKO", 2, 290, 1, 0, 0};
    });
    Articles list;
    list.add(article("9", "SER", 100));
    ServerTransfer second(slot().job, false, list, false);
    events = run(second);
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ("Odebrano 2", events[0].text);
    EXPECT_EQ("Błąd podczas odbierania artykułów z kasy.\nOdebrano 2", events[1].text);
    ASSERT_EQ(2, list.count());
    const Article& bread = *list.getAt(0);
    EXPECT_EQ("CHLEB", bread.name);
    EXPECT_EQ(350, bread.price);
    EXPECT_EQ(2500, bread.saleQuantity);
    EXPECT_EQ(875, bread.saleValue);
    EXPECT_FALSE(bread.modified);
}

TEST(ServerJobGateTest, AStepWaitsMoreThan400MsAfterTheLastOne) {
    // A send job over an empty list finishes at its first step without a frame.
    struct Case {
        uint32_t last, now;
        bool steps;
    } cases[] = {
        {1000, 1000, false},
        {1000, 1400, false},
        {1000, 1401, true},
        {0xFFFFFF00, 0x50, true},  // the tick count wrapped
        {0xFFFFFF00, 0xFFFFFF01, false},
    };
    TarvelServerDoc doc;
    ManualClock clock;
    for (const Case& c : cases) {
        Articles empty;
        ServerTransfer t(doc.slotAt(0)->job, true, empty, false);
        t.place();
        doc.slotAt(0)->job.lastJobTick = c.last;
        clock.setTick(c.now);
        doc.slotAt(0)->job.step(doc.link(), clock);
        EXPECT_EQ(c.steps, t.ended()) << c.last << " " << c.now;
        EXPECT_EQ(c.steps ? c.now : c.last, doc.slotAt(0)->job.lastJobTick);
    }
}

TEST_F(ServerJobTest, SilentRegisterFailsTheJobAtThe101stPoll) {
    start({});
    doc.link().setBeginFrameTimeout(5);
    sim->setSilent(4, true);
    Articles list;
    list.add(article("1", "A", 1));
    ServerTransfer t(slot().job, true, list, false);
    t.place();
    TransferEvent e;
    for (int i = 0; i < 100; ++i)
        doc.pollSlot(0);
    EXPECT_FALSE(t.nextEvent(e, 0));
    EXPECT_TRUE(slot().job.pending());
    doc.pollSlot(0);
    ASSERT_TRUE(t.nextEvent(e, 0));
    EXPECT_EQ(JobFailed, e.code);
    EXPECT_FALSE(slot().job.pending());
}

TEST_F(ServerJobTest, CancelWaitsForTheRunningStepAndNothingIsPostedAfterIt) {
    start({});
    std::atomic<bool> inStep{false};
    sim->setAnswerHook([&](int, const std::string& request, std::optional<std::string>&) {
        if (request.rfind("W0;", 0) == 0 && !inStep.exchange(true))
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return false;
    });
    Articles list;
    for (const char* p : {"1", "2", "3"})
        list.add(article(p, p, 1));
    ServerTransfer t(slot().job, true, list, false);
    t.place();
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop)
            doc.pollSlot(0);
    });
    while (!inStep)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    t.cancel();
    std::vector<TransferEvent> events;
    TransferEvent e;
    while (t.nextEvent(e, 0))
        events.push_back(e);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    stop = true;
    worker.join();
    EXPECT_FALSE(t.nextEvent(e, 0));
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ("Wysłano 1 błędów 0", events[0].text);  // the step that was running
    EXPECT_EQ(SERVER_TRANSFER_CANCELLED, events[1].text);
    EXPECT_FALSE(list.getAt(0)->modified);
    EXPECT_TRUE(list.getAt(1)->modified);
}

}  // namespace
}  // namespace kos::test
