// Removing a register whose receipts are not all on disk, then adding another to its slot: the
// old register's receipts reach their files under its own serial number, their sales are never
// counted under the new register, and the new register starts with a clean slot.
#include <cstdio>
#include <filesystem>

#include "OnlineFixture.h"

namespace kos::test {
namespace {

namespace fs = std::filesystem;

class RemoveRegisterTest : public OnlineFixture {
protected:
    // Register 7 (serial OLD) in slot 0 ends receipt 7/1 while the receipt directory is away,
    // then starts a second receipt; register 8 (serial NEW) later takes the slot.
    void ringOldReceiptWhileDirectoryIsAway() {
        ASSERT_EQ(0, std::rename(receipts.c_str(), aside.c_str()));
        feed({old[0], old[1], old[2], old[3]});
        ASSERT_EQ(1u, doc.receiptWriter().pendingCount(0));
        ASSERT_EQ(1u, doc.slotAt(0)->lines.size());
    }
    void bringDirectoryBack() { ASSERT_EQ(0, std::rename(aside.c_str(), receipts.c_str())); }
    void addNewRegisterAndRingItsReceipt() {
        ASSERT_EQ(0, doc.addRegister(8));
        feed({fresh[0], fresh[1]});
    }
    void expectOnlyTheNewRegistersSales() {
        EXPECT_EQ(crlf({old[0], old[1], old[2]}), readFile(receiptPath(oldName)));
        EXPECT_EQ(crlf({fresh[0], fresh[1]}), readFile(receiptPath(freshName)));
        EXPECT_EQ(INT32_MIN, quantityOf(doc, "5", 0));
        EXPECT_EQ(1000, quantityOf(doc, "6", 0));
        EXPECT_EQ(0, doc.positiveTotal(0));
        EXPECT_EQ(0u, doc.unwrittenReceiptCount());
        const std::string text = log();
        EXPECT_EQ(std::string::npos, text.find("Zmiana numeru seryjnego"));
        EXPECT_EQ(std::string::npos, text.find("sekwencyjnym"));
        // The unfinished receipt of the removed register is on record, not in a file.
        EXPECT_EQ(1u, countOf(text, " Usunięcie paragonu:\n\t" + old[3]));
    }

    const std::string aside = tmp.file("receipts-aside");
    const std::string old[4] = {saleMsg("OLD", 0, "5", "2"), "OLD;1;0;;1;4;",
                                endMsg("OLD", 2, 1, 7, 1), saleMsg("OLD", 3, "5", "9")};
    // Its digit is one behind what slot 0 expects from the old register.
    const std::string fresh[2] = {saleMsg("NEW", 3, "6", "1"), endMsg("NEW", 4, 1, 3, 1)};
    const std::string oldName = "20261206_00001_OLD_1_7.txt";
    const std::string freshName = "20261206_00002_NEW_1_3.txt";
};

TEST_F(RemoveRegisterTest, PendingReceiptIsWrittenAtRemovalAndNotCountedForTheNextRegister) {
    ringOldReceiptWhileDirectoryIsAway();
    bringDirectoryBack();
    doc.removeRegister(0);
    EXPECT_EQ(crlf({old[0], old[1], old[2]}), readFile(receiptPath(oldName)));
    EXPECT_TRUE(doc.salesEntryCount() == 0);
    addNewRegisterAndRingItsReceipt();
    expectOnlyTheNewRegistersSales();
}

TEST_F(RemoveRegisterTest, ReceiptStillUnwritableAtRemovalWaitsWithoutBeingCounted) {
    ringOldReceiptWhileDirectoryIsAway();
    doc.removeRegister(0);
    EXPECT_TRUE(doc.receiptWriter().pendingCount(0) == 0);
    EXPECT_EQ(1u, doc.unwrittenReceiptCount());

    // The new register's receipt waits too; the next attempt (here the one at stop) writes both.
    addNewRegisterAndRingItsReceipt();
    EXPECT_EQ(2u, doc.unwrittenReceiptCount());
    EXPECT_FALSE(doc.writePendingReceipts());
    bringDirectoryBack();
    EXPECT_TRUE(doc.writePendingReceipts());
    expectOnlyTheNewRegistersSales();
}

}  // namespace
}  // namespace kos::test
