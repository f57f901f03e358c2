// The document's journal: a torn tail, a receipt continued after a kill, the second owner, the
// unreadable document kept aside, and the bound on a receipt's length.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "CommSupport.h"
#include "OnlineFixture.h"
#include "Simulator.h"
#include "online/Journal.h"
#include "online/SalesExport.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

JournalRecord received(const std::string& text) {
    JournalRecord r;
    r.type = JournalRecordType::Received;
    r.slot = 0;
    r.logicalNumber = 7;
    r.text = text;
    return r;
}

TEST(JournalTest, ATornLastRecordIsDroppedAndTheNextAppendFollowsTheGoodOnes) {
    struct Case {
        const char* what;
        void (*damage)(const std::string& path, off_t size);
        size_t kept;
    };
    const Case cases[] = {
        {"cut short",
         [](const std::string& p, off_t size) { ASSERT_EQ(0, ::truncate(p.c_str(), size - 3)); },
         2},
        {"last byte changed",
         [](const std::string& p, off_t) {
             std::string d = readFile(p);
             d.back() ^= 0x20;
             writeFile(p, d);
         },
         2},
        {"half a header",
         [](const std::string& p, off_t) {
             writeFile(p, readFile(p) + std::string("\x10\0\0", 3));
         },
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string doc = dir.file("a.dsr");
        std::vector<JournalRecord> records;
        {
            Journal j;
            ASSERT_EQ(Journal::Claim::Owned, j.claim(doc, records));
            for (const char* t : {"S;1;0;12;1;1;", "S;2;0;13;1;2;", "S;3;0;14;1;3;"})
                ASSERT_TRUE(j.append(received(t), true));
            // One owner at a time.
            Journal second;
            EXPECT_EQ(Journal::Claim::HeldElsewhere, second.claim(doc, records));
        }
        const std::string path = Journal::journalPath(doc);
        struct stat st {};
        ASSERT_EQ(0, ::stat(path.c_str(), &st));
        c.damage(path, st.st_size);

        Journal j;
        ASSERT_EQ(Journal::Claim::Owned, j.claim(doc, records));
        ASSERT_EQ(c.kept, records.size());
        EXPECT_EQ("S;2;0;13;1;2;", records[1].text);
        EXPECT_GT(j.tornBytes(), 0u);
        ASSERT_TRUE(j.append(received("S;4;0;15;1;4;"), true));
        j.release();
        ASSERT_EQ(Journal::Claim::Owned, j.claim(doc, records));
        ASSERT_EQ(c.kept + 1, records.size());
        EXPECT_EQ("S;4;0;15;1;4;", records.back().text);
        EXPECT_EQ(0u, j.tornBytes());
    }
}

// A kill between two lines of a receipt: the document goes without a stop or a save. Opened
// again, it writes nothing twice, counts the receipt finished before the kill once and
// continues the one in progress with the register's next line.
TEST(JournalTest, AfterAKillTheReopenedDocumentContinuesTheReceiptInProgress) {
    TempDir tmp;
    const std::string receipts = tmp.file("receipts");
    const std::string dsr = tmp.file("shop.dsr");
    ASSERT_EQ(0, ::mkdir(receipts.c_str(), 0755));
    ecrsim::SimOptions options;
    options.registers = {7};
    options.receiptLines = 4;
    ecrsim::Simulator sim(options);
    std::string error;
    ASSERT_TRUE(sim.open(error)) << error;
    sim.start();
    FixedDateClock clock;
    auto connect = [&](TarvelServerDoc& doc, int next) {
        doc.setDirectories(receipts, "");
        doc.setReceiptNumbering(next, clock.localTime());
        ASSERT_TRUE(doc.link().openDevice(sim.slavePath(), 9600));
        ASSERT_TRUE(doc.link().setReadTimeouts(50, 2));
        doc.link().setBeginFrameTimeout(400);
    };

    auto first = std::make_unique<TarvelServerDoc>(clock);
    ASSERT_EQ(0, first->addRegister(7));
    ASSERT_EQ(DsrStatus::Ok, first->writeFile(dsr));
    connect(*first, 1);
    sim.ringReceipt(7);
    sim.ringReceipt(7);
    for (int i = 0; i < 200 && !(sim.journal().size() == 1 && first->slotAt(0)->lines.size() == 2);
         ++i)
        first->pollSlot(0);
    ASSERT_EQ(2u, first->slotAt(0)->lines.size());
    first->link().close();
    first.reset();

    ScriptedPrompt prompt;
    TarvelServerDoc second(clock);
    ASSERT_TRUE(second.open(dsr, prompt));
    ASSERT_TRUE(second.hasJournal());
    EXPECT_EQ(2u, second.slotAt(0)->lines.size());
    connect(second, 2);
    for (int i = 0; i < 200 && sim.journal().size() < 2; ++i)
        second.pollSlot(0);
    second.link().close();
    sim.stop();

    const auto journal = sim.journal();
    ASSERT_EQ(2u, journal.size());
    const std::vector<std::string> files = filesIn(receipts);
    ASSERT_EQ(2u, files.size());
    for (const auto& r : journal)
        EXPECT_EQ(receiptText(r.lines), readFile(receipts + "/" + receiptFileOf(files, r)));
    ASSERT_TRUE(exportSales(second, tmp.file("sales.txt"), false, prompt));
    SalesSums exported;
    addExportSums(readFile(tmp.file("sales.txt")), exported);
    EXPECT_EQ(withoutZeros(journalSums(journal)), withoutZeros(exported));
}

TEST(JournalTest, AFileThatCouldNotBeReadIsKeptAsBakByTheFirstSaveOverIt) {
    TempDir tmp;
    const std::string dsr = tmp.file("old.dsr");
    // Version 1, two empty directory strings, 11 slots.
    const std::string old("\1\0\0\0\0\0\13\0\0\0\1\2\3", 13);
    writeFile(dsr, old);
    ScriptedPrompt prompt;
    TarvelServerDoc doc;
    ASSERT_TRUE(doc.open(dsr, prompt));
    ASSERT_EQ(1u, prompt.shown.size());
    EXPECT_EQ(TEXT_BAD_SLOT_COUNT, prompt.shown[0].text);
    EXPECT_FALSE(doc.hasJournal());
    ASSERT_TRUE(doc.save(dsr, prompt));
    EXPECT_EQ(old, readFile(dsr + ".bak"));
    ASSERT_TRUE(doc.save(dsr, prompt));
    EXPECT_EQ(old, readFile(dsr + ".bak"));
    TarvelServerDoc reread;
    EXPECT_EQ(DsrStatus::Ok, reread.readFile(dsr));
}

class ReceiptBoundTest : public OnlineFixture {};

TEST_F(ReceiptBoundTest, AReceiptOfMoreThanAThousandLinesIsDiscardedUpToItsEnd) {
    EcrOnLineComm& slot = *doc.slotAt(0);
    doc.addRegister(1);
    int seq = 0;
    auto send = [&](const std::string& m) { slot.handleMessage(m, 0, doc.pollContext()); };
    for (int i = 0; i < 999; ++i)
        send(saleMsg("S1", seq++ % 10, "12", "1"));
    send(endMsg("S1", seq++ % 10, 0, 1, 1));
    // A thousand lines with the end line: written.
    EXPECT_EQ(1u, filesIn(receipts).size());

    for (int i = 0; i < 1500; ++i)
        send(saleMsg("S1", seq++ % 10, "13", "1"));
    EXPECT_LE(slot.lines.size(), EcrOnLineComm::MAX_RECEIPT_LINES);
    send(endMsg("S1", seq++ % 10, 0, 2, 1));
    EXPECT_EQ(1u, filesIn(receipts).size());
    // Every line of it is listed in the log, none of the receipt before.
    EXPECT_EQ(1500u, countOf(log(), ";0;13;"));
    EXPECT_EQ(0u, countOf(log(), ";0;12;"));
    EXPECT_EQ(999000, quantityOf(doc, "12", 0));
    EXPECT_EQ(INT32_MIN, quantityOf(doc, "13", 0));

    send(saleMsg("S1", seq++ % 10, "14", "2"));
    send(endMsg("S1", seq++ % 10, 0, 3, 1));
    EXPECT_EQ(2u, filesIn(receipts).size());
    EXPECT_EQ(2000, quantityOf(doc, "14", 0));
}

}  // namespace
}  // namespace kos::test
