#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/ArchiveString.h"
#include "online/TarvelServerDoc.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

Plu plu(const char* text) {
    Plu p;
    p.parse(text);
    return p;
}

std::string le32(int32_t v) {
    ByteWriter w;
    w.i32(v);
    return w.data();
}

std::string newDocumentBytes() {
    std::string b = le32(1) + std::string("\0\0", 2) + le32(12);
    for (int i = 0; i < 24; ++i)
        b += le32(0);
    for (int i = 0; i < 12; ++i)
        b += le32(-1);
    return b + std::string("\0\0", 2);
}

// Registers 8, 2 and 56, sales in shared and own PLUs, totals and directories.
void fill(TarvelServerDoc& doc) {
    doc.setDirectories("/srv/paragony", doc.backupDir());
    doc.setDirectories(doc.receiptDir(), std::string("kopia \xB9\xEA", 8));  // code page 1250 bytes
    ASSERT_EQ(0, doc.addRegister(8));
    ASSERT_EQ(1, doc.addRegister(2));
    ASSERT_EQ(2, doc.addRegister(56));
    doc.addPluSale(plu("5"), 0, 1500);
    doc.addPluSale(plu("5"), 1, 250);
    doc.addPluSale(plu("16"), 0, 1000);  // 16 and 5 share a bucket
    doc.addPluSale(plu("12345678901234"), 2, 7);
    doc.addPluSale(plu("99"), 1, 3000);
    doc.addPositiveTotal(0, 123456);
    doc.addNegativeTotal(1, -500);
}

TEST(DocumentTest, NewDocumentFileBytes) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    EXPECT_EQ(0, doc.usedSlotCount());
    EXPECT_FALSE(doc.isOnline());
    EXPECT_EQ(newDocumentBytes(), doc.toDsr());
}

TEST(DocumentTest, SalesEntriesAreWrittenAsRawImagesInTableOrder) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    // Buckets: 5 and 16 -> 5 (16 inserted later, so it heads the chain), 3 -> 3.
    doc.addPluSale(plu("5"), 0, 1500);
    doc.addPluSale(plu("16"), 3, 2);
    doc.addPluSale(plu("3"), 11, -7);
    const std::string b = doc.toDsr();
    const std::string head = newDocumentBytes();
    ASSERT_EQ(head.size() + 3 * 112, b.size());
    EXPECT_EQ(std::string("\x03\x00", 2), b.substr(head.size() - 2, 2));
    struct Expected {
        char bcd;
        int slot;
        int32_t quantity;
    } order[] = {{0x03, 11, -7}, {0x16, 3, 2}, {0x05, 0, 1500}};
    for (int e = 0; e < 3; ++e) {
        const std::string image = b.substr(head.size() + e * 112, 112);
        EXPECT_EQ(std::string(10, '\0') + order[e].bcd + '\0', image.substr(0, 12)) << e;
        PluSale expected;
        expected.quantity[order[e].slot] = order[e].quantity;
        std::string values(4, '\0');
        for (int32_t q : expected.quantity)
            values += le32(q);
        EXPECT_EQ(values + std::string(48, '\0'), image.substr(12)) << e;
    }
}

TEST(DocumentTest, SavedDocumentReadsBackAndWritesTheSameBytes) {
    ManualClock clock;
    TempDir tmp;
    TarvelServerDoc doc(clock);
    fill(doc);
    ScriptedPrompt prompt;
    ASSERT_TRUE(doc.save(tmp.file("a.dsr"), prompt));
    EXPECT_FALSE(doc.isModified());

    TarvelServerDoc back(clock);
    ASSERT_TRUE(back.open(tmp.file("a.dsr"), prompt));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ("/srv/paragony", back.receiptDir());
    EXPECT_EQ(3, back.usedSlotCount());
    EXPECT_EQ(2, back.findSlot(56));
    EXPECT_EQ(-500, back.negativeTotal(1));
    EXPECT_EQ(250, back.saleOf(plu("5"))->quantity[1]);
    EXPECT_EQ(doc.toDsr(), back.toDsr());
    ASSERT_TRUE(back.save(tmp.file("b.dsr"), prompt));
    EXPECT_EQ(readFile(tmp.file("a.dsr")), readFile(tmp.file("b.dsr")));
}

TEST(DocumentTest, FailedSaveKeepsTheOldFileAndSaysSo) {
    ManualClock clock;
    TempDir tmp;
    TarvelServerDoc doc(clock);
    ScriptedPrompt prompt;
    ASSERT_TRUE(doc.save(tmp.file("a.dsr"), prompt));
    const std::string before = readFile(tmp.file("a.dsr"));
    fill(doc);
    EXPECT_FALSE(doc.save(tmp.file("none/a.dsr"), prompt));
    ASSERT_EQ(1u, prompt.shown.size());
    EXPECT_EQ(PromptIcon::Stop, prompt.shown[0].icon);
    EXPECT_TRUE(doc.isModified());
    ASSERT_EQ(0, ::mkdir(tmp.file("a.dsr.tmp").c_str(), 0755));  // the temporary cannot be made
    EXPECT_EQ(DsrStatus::WriteError, doc.writeFile(tmp.file("a.dsr")));
    EXPECT_EQ(before, readFile(tmp.file("a.dsr")));
}

TEST(DocumentTest, LoadedSlotsStartFromTheirInitialState) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    fill(doc);
    EcrOnLineComm& s = *doc.slotAt(0);
    s.connected = 1;
    s.serialNumber = "X";
    s.expectedSeq = 3;
    s.lastReceiptFileNumber = 4;
    s.lines.emplace_back();
    const std::string bytes = doc.toDsr();
    ASSERT_EQ(DsrStatus::Ok, doc.fromDsr(bytes));
    EXPECT_EQ(8, s.logicalNumber);
    EXPECT_EQ(0, s.connected);
    EXPECT_TRUE(s.serialNumber.empty());
    EXPECT_EQ(NO_SEQ, s.expectedSeq);
    EXPECT_EQ(-1, s.lastReceiptFileNumber);
    EXPECT_EQ(-1, s.lastReceiptNumber);
    EXPECT_TRUE(s.lines.empty());
    EXPECT_EQ(nullptr, s.job.jobArticles);
    EXPECT_TRUE(s.job.jobSend);
}

TEST(DocumentTest, WrongSlotCountOpensWithTheDirectoriesOnly) {
    ManualClock clock;
    TempDir tmp;
    TarvelServerDoc doc(clock);
    fill(doc);
    std::string b = doc.toDsr();
    const size_t countAt = 4 + 1 + 13 + 1 + 8;
    ASSERT_EQ(le32(12), b.substr(countAt, 4));
    b.replace(countAt, 4, le32(11));
    writeFile(tmp.file("x.dsr"), b);

    TarvelServerDoc back(clock);
    back.addRegister(3);
    ScriptedPrompt prompt;
    EXPECT_TRUE(back.open(tmp.file("x.dsr"), prompt));
    ASSERT_EQ(1u, prompt.shown.size());
    EXPECT_EQ("Niepoprawny format pliku.", prompt.shown[0].text);
    EXPECT_EQ(PromptIcon::Stop, prompt.shown[0].icon);
    EXPECT_EQ(0, back.usedSlotCount());
    EXPECT_TRUE(back.salesEntryCount() == 0);
    EXPECT_EQ("/srv/paragony", back.receiptDir());
    EXPECT_EQ(std::string("kopia \xB9\xEA", 8), back.backupDir());
}

TEST(DocumentTest, BadFilesFailWithUnexpectedFormatAtEveryLength) {
    ManualClock clock;
    TempDir tmp;
    TarvelServerDoc doc(clock);
    fill(doc);
    const std::string good = doc.toDsr();
    std::vector<std::string> bad;
    for (size_t n = 0; n < good.size(); ++n)
        bad.push_back(good.substr(0, n));
    std::string v2 = good;
    v2.replace(0, 4, le32(2));
    bad.push_back(v2);
    std::string twice = good;  // register 2 also in slot 0
    twice.replace(4 + 1 + 13 + 1 + 8 + 4 + 96, 4, le32(2));
    bad.push_back(twice);
    std::string bigCount = good;  // an entry count far beyond the data
    const size_t countAt = good.size() - 4 * 112 - 2;
    bigCount.replace(countAt, 2, std::string("\xFF\xFF\xFF\xFF\xFF\x7F", 6));
    bad.push_back(bigCount);

    for (const std::string& b : bad) {
        TarvelServerDoc back(clock);
        EXPECT_EQ(DsrStatus::BadFormat, back.fromDsr(b)) << b.size();
        EXPECT_EQ(0, back.usedSlotCount());
        EXPECT_TRUE(back.salesEntryCount() == 0);
        EXPECT_TRUE(back.receiptDir().empty());
    }
    writeFile(tmp.file("v2.dsr"), v2);
    ScriptedPrompt prompt;
    EXPECT_FALSE(doc.open(tmp.file("v2.dsr"), prompt));
    ASSERT_EQ(1u, prompt.shown.size());
    EXPECT_EQ("Unexpected file format.", prompt.shown[0].text);
    EXPECT_FALSE(doc.open(tmp.file("missing.dsr"), prompt));
    EXPECT_EQ(2u, prompt.shown.size());
}

TEST(DocumentTest, RepeatedPluKeepsTheLaterValues) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    doc.addPluSale(plu("5"), 0, 1);
    doc.addPluSale(plu("22"), 0, 2);
    std::string b = doc.toDsr();
    // Make the second entry (PLU 5) carry PLU 22 too, with quantity 9.
    const size_t second = b.size() - 112;
    b[second + 10] = 0x22;
    b.replace(second + 16, 4, le32(9));
    TarvelServerDoc back(clock);
    ASSERT_EQ(DsrStatus::Ok, back.fromDsr(b));
    EXPECT_EQ(1u, back.salesEntryCount());
    EXPECT_EQ(9, back.saleOf(plu("22"))->quantity[0]);
}

TEST(DocumentTest, RemovingARegisterKeepsSharedPlusAndDropsItsOwn) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    fill(doc);
    doc.removeRegister(1);  // register 2: PLU 5 shared with 8, PLU 99 its own
    EXPECT_EQ(-1, doc.logicalNumberAt(1));
    EXPECT_EQ(-1, doc.findSlot(2));
    EXPECT_EQ(0, doc.negativeTotal(1));
    ASSERT_TRUE(doc.saleOf(plu("5")));
    EXPECT_EQ(1500, doc.saleOf(plu("5"))->quantity[0]);
    EXPECT_EQ(0, doc.saleOf(plu("5"))->quantity[1]);
    EXPECT_FALSE(doc.saleOf(plu("99")));
    EXPECT_EQ(3u, doc.salesEntryCount());
    EXPECT_EQ(123456, doc.positiveTotal(0));
}

TEST(DocumentTest, AddRegisterRefusesDuplicatesAndAThirteenth) {
    ManualClock clock;
    TarvelServerDoc doc(clock);
    for (int i = 0; i < 12; ++i)
        ASSERT_EQ(i, doc.addRegister(i + 1));
    EXPECT_EQ(-1, doc.addRegister(13));
    doc.removeRegister(4);
    EXPECT_EQ(-1, doc.addRegister(1));
    EXPECT_EQ(-1, doc.addRegister(-1));
    EXPECT_EQ(4, doc.addRegister(40));
    EXPECT_EQ(nullptr, doc.slotAt(12));
    EXPECT_EQ(nullptr, doc.slotAt(-1));
    EXPECT_EQ(12, doc.slotAt(11)->logicalNumber);
    EXPECT_EQ(12, doc.usedSlotCount());
}

TEST(DocumentTest, PluSaleSerializesTwentyFourValuesPairwise) {
    PluSale s;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        s.quantity[i] = i + 1;
        s.extra[i] = -(i + 1);
    }
    ByteWriter out;
    s.serialize(out);
    ASSERT_EQ(96u, out.data().size());
    EXPECT_EQ(le32(1) + le32(-1) + le32(2), out.data().substr(0, 12));
    PluSale back;
    ByteReader in(out.data());
    ASSERT_TRUE(back.deserialize(in));
    EXPECT_EQ(s, back);
}

}  // namespace
}  // namespace kos::test
