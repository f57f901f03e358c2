#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "OnlineFixture.h"
#include "online/ReceiptFile.h"

namespace kos::test {
namespace {

namespace fs = std::filesystem;

using ReceiptTest = OnlineFixture;

TEST_F(ReceiptTest, ReceiptBecomesOneFileInBothPlacesAndCountsItsSales) {
    const std::string m[] = {
        saleMsg("ABC123", 0, "12", "1.000"),
        "ABC123;1;0;;9.99;3.5;",
        saleMsg("ABC123", 2, "12", "2.5"),
        saleMsg("ABC123", 3, "00012", "-0.5"),
        "ABC123;4;9;anything;",
        endMsg("ABC123", 5, 1, 15, 1),
    };
    feed({m[0], m[1], m[2], m[3], m[4], m[5]});

    const std::string name = "20261206_00001_ABC123_1_15.txt";
    const std::string expected = crlf({m[0], m[1], m[2], m[3], m[4], m[5]});
    EXPECT_EQ(expected, readFile(receiptPath(name)));
    EXPECT_EQ(expected, readFile(backup + "/20261206/" + name));
    EXPECT_EQ(3000, quantityOf(doc, "12", 0));
    EXPECT_EQ(1u, doc.salesEntryCount());
    EXPECT_EQ(3500, doc.positiveTotal(0));
    EXPECT_EQ(0, doc.negativeTotal(0));
    EXPECT_TRUE(doc.slotAt(0)->lines.empty());
    EXPECT_TRUE(doc.receiptWriter().pendingCount(0) == 0);
    EXPECT_EQ(std::string::npos, log().find("Błąd"));
}

TEST_F(ReceiptTest, WithoutBackupDirectoryOnlyTheMainCopyIsWritten) {
    doc.setDirectories(doc.receiptDir(), "");
    feed({saleMsg("S", 0, "5", "1"), endMsg("S", 1, 1, 2, 3)});
    EXPECT_TRUE(fs::exists(receiptPath("20261206_00001_S_3_2.txt")));
    EXPECT_FALSE(fs::exists(backup));
}

TEST_F(ReceiptTest, RepeatedMessageIsDroppedSilently) {
    const std::string a = saleMsg("S", 0, "5", "1");
    const std::string b = saleMsg("S", 1, "5", "2");
    const std::string e = endMsg("S", 2, 1, 9, 1);
    feed({a, a, b, b, e});
    EXPECT_EQ(crlf({a, b, e}), readFile(receiptPath("20261206_00001_S_1_9.txt")));
    EXPECT_EQ(3000, quantityOf(doc, "5", 0));
    EXPECT_EQ(std::string::npos, log().find("sekwencyjnym"));
}

TEST_F(ReceiptTest, SequenceBreakDiscardsTheCollectedLinesAndStartsAgain) {
    std::vector<std::string> first;
    for (int seq = 0; seq < 4; ++seq) {
        first.push_back(saleMsg("S", seq, "5", "1"));
        feed({first.back()});
    }
    ASSERT_EQ(4, doc.slotAt(0)->expectedSeq);
    const std::string jump = saleMsg("S", 6, "8", "1");
    feed({jump});

    const std::string l = log();
    EXPECT_NE(std::string::npos,
              l.find(" Odebrano ramkę z niepoprawnym numerem sekwencyjnym (w ramce 6, spodziewany "
                     "nr 4).\n"));
    std::string discarded = " Usunięcie paragonu:";
    for (const auto& line : first)
        discarded += "\n\t" + line;
    EXPECT_NE(std::string::npos, l.find(discarded)) << l;
    EXPECT_EQ(7, doc.slotAt(0)->expectedSeq);
    ASSERT_EQ(1u, doc.slotAt(0)->lines.size());

    const std::string e = endMsg("S", 7, 1, 4, 1);
    feed({e});
    EXPECT_EQ(crlf({jump, e}), readFile(receiptPath("20261206_00001_S_1_4.txt")));
    EXPECT_EQ(INT32_MIN, quantityOf(doc, "5", 0));
    EXPECT_EQ(1000, quantityOf(doc, "8", 0));
}

TEST_F(ReceiptTest, SerialChangeDiscardsTheReceiptAndTakesTheNewNumber) {
    const std::string a = saleMsg("A1", 0, "5", "1");
    feed({a, saleMsg("A1", 1, "5", "1")});
    const std::string b = saleMsg("B2", 2, "6", "1");
    const std::string e = endMsg("B2", 3, 1, 4, 1);
    feed({b, e});
    const std::string l = log();
    EXPECT_NE(std::string::npos, l.find(" Zmiana numeru seryjnego kasy 0 z A1 na B2\n"));
    EXPECT_NE(std::string::npos, l.find(" Usunięcie paragonu:\n\t" + a + "\n\t"));
    EXPECT_EQ("B2", doc.slotAt(0)->serialNumber);
    EXPECT_EQ(crlf({b, e}), readFile(receiptPath("20261206_00001_B2_1_4.txt")));
}

TEST_F(ReceiptTest, IdleMessageChangesNothing) {
    feed({saleMsg("S", 0, "5", "1")});
    feed({"OTHER;"});
    EXPECT_EQ("S", doc.slotAt(0)->serialNumber);
    EXPECT_EQ(1, doc.slotAt(0)->expectedSeq);
    EXPECT_EQ(1u, doc.slotAt(0)->lines.size());
}

TEST_F(ReceiptTest, NumberZeroWithCloseKindSixWritesTheEndLineAlone) {
    feed({saleMsg("S", 0, "5", "1"), endMsg("S", 1, 1, 15, 1)});
    const std::string e = endMsg("S", 3, 6, 0, 4);
    feed({saleMsg("S", 2, "5", "1"), e});
    EXPECT_EQ(crlf({e}), readFile(receiptPath("20261206_00002_S_4.txt")));
    EXPECT_EQ(crlf({e}), readFile(backup + "/20261206/20261206_00002_S_4.txt"));
    EXPECT_EQ(1000, quantityOf(doc, "5", 0));  // only the first receipt's sale
    EXPECT_EQ(-1, doc.slotAt(0)->lastReceiptFileNumber);
    EXPECT_EQ(std::string::npos, log().find("Usunięcie"));
    EXPECT_TRUE(doc.slotAt(0)->lines.empty());
}

TEST_F(ReceiptTest, NumberZeroWithOtherCloseKindWritesNothingAndLogsTheLines) {
    const std::string s = saleMsg("S", 0, "5", "1");
    const std::string e = endMsg("S", 1, 1, 0, 4);
    feed({s, e});
    EXPECT_TRUE(fs::is_empty(receipts));
    EXPECT_NE(std::string::npos, log().find(" Usunięcie paragonu:\n\t" + s + "\n\t" + e));
    EXPECT_TRUE(doc.salesEntryCount() == 0);
}

TEST_F(ReceiptTest, SameSeriesAndNumberReusesTheFileNumber) {
    const std::string a1 = saleMsg("S", 0, "5", "1"), a2 = endMsg("S", 1, 1, 15, 1);
    const std::string b1 = saleMsg("S", 2, "5", "1"), b2 = endMsg("S", 3, 1, 15, 1);
    feed({a1, a2, b1, b2});
    EXPECT_EQ(crlf({a1, a2, b1, b2}), readFile(receiptPath("20261206_00001_S_1_15.txt")));
    feed({endMsg("S", 4, 1, 16, 1), endMsg("S", 5, 1, 15, 1)});
    EXPECT_TRUE(fs::exists(receiptPath("20261206_00002_S_1_16.txt")));
    EXPECT_TRUE(fs::exists(receiptPath("20261206_00003_S_1_15.txt")));
    EXPECT_EQ(2000, quantityOf(doc, "5", 0));
}

TEST_F(ReceiptTest, NegativeArticleTotalIsLoggedAndNotAdded) {
    struct Case {
        const char* quantity;
        const char* logged;
    } cases[] = {{"-0.5", "-0,500"}, {"-1.5", "-1,500"}, {"-12.004", "-12,004"}};
    int seq = 0;
    int number = 20;
    for (const auto& c : cases) {
        feed({saleMsg("S", seq, "12", c.quantity), endMsg("S", seq + 1, 1, number, 1)});
        const std::string expected = " Błąd, ilość towaru o PLU 00000000000012 na paragonie " +
                                     std::to_string(number) + " z kasy S jest równa " + c.logged +
                                     ".";
        EXPECT_NE(std::string::npos, log().find(expected)) << expected;
        seq += 2;
        ++number;
    }
    EXPECT_TRUE(doc.salesEntryCount() == 0);
}

TEST_F(ReceiptTest, SumsStopAtThe32BitLimitAndTheLogSaysSoOnce) {
    // Three receipts of 2,000,000 units and of 2,000,000.000 without a code: the second passes
    // the limit, the third finds the sums there already.
    for (int i = 0; i < 3; ++i)
        feed({saleMsg("S", 3 * i, "12", "2000000"),
              "S;" + std::to_string(3 * i + 1) + ";0;;1;2000000;",
              endMsg("S", 3 * i + 2, 1, 40 + i, 1)});
    EXPECT_EQ(INT32_MAX, quantityOf(doc, "12", 0));
    EXPECT_EQ(INT32_MAX, doc.positiveTotal(0));
    EXPECT_EQ(1u, countOf(log(), "ilość towaru o PLU 00000000000012 z kasy S osiągnęła granicę"));
    EXPECT_EQ(1u, countOf(log(), "suma sprzedaży bez PLU z kasy S osiągnęła granicę"));
}

TEST_F(ReceiptTest, FirstReceiptAfterMidnightStartsTheDayAtOne) {
    clock.now = {2026, 12, 6, 23, 59, 59};
    feed({endMsg("S", 0, 1, 1, 1), endMsg("S", 1, 1, 2, 1)});
    clock.now = {2026, 12, 7, 0, 0, 0};
    feed({endMsg("S", 2, 1, 3, 1)});
    EXPECT_TRUE(fs::exists(receiptPath("20261206_00001_S_1_1.txt")));
    EXPECT_TRUE(fs::exists(receiptPath("20261206_00002_S_1_2.txt")));
    EXPECT_TRUE(fs::exists(receiptPath("20261207_00001_S_1_3.txt")));
    EXPECT_TRUE(fs::exists(backup + "/20261207/20261207_00001_S_1_3.txt"));

    TarvelServerDoc fresh(clock);
    clock.now = {2026, 12, 31, 23, 59, 59};
    EXPECT_EQ(1, fresh.nextReceiptNumber(clock.now));
    EXPECT_EQ(2, fresh.nextReceiptNumber(clock.now));
    EXPECT_EQ(1, fresh.nextReceiptNumber({2027, 1, 1, 0, 0, 0}));
    fresh.setReceiptNumbering(42, {2027, 1, 1, 8, 0, 0});
    EXPECT_EQ(42, fresh.nextReceiptNumber({2027, 1, 1, 9, 0, 0}));
}

TEST_F(ReceiptTest, BackupThatCannotBeCreatedNeverStopsTheMainCopy) {
    struct Case {
        std::string backupDir;
        std::string failedPath;
    };
    writeFile(tmp.file("plainfile"), "x");
    ASSERT_EQ(0, ::mkdir(tmp.file("dayblocked").c_str(), 0755));
    writeFile(tmp.file("dayblocked/20261206"), "x");
    const Case cases[] = {
        {tmp.file("plainfile"), tmp.file("plainfile")},
        {tmp.file("missing/backup"), tmp.file("missing/backup")},
        {tmp.file("dayblocked"), tmp.file("dayblocked/20261206")},
    };
    int seq = 0;
    int number = 1;
    for (const Case& c : cases) {
        doc.setDirectories(doc.receiptDir(), c.backupDir);
        feed({saleMsg("S", seq++ % 10, "5", "1")});
        feed({endMsg("S", seq++ % 10, 1, number, 1)});
        const std::string name =
            "20261206_0000" + std::to_string(number) + "_S_1_" + std::to_string(number) + ".txt";
        EXPECT_TRUE(fs::exists(receiptPath(name))) << name;
        EXPECT_NE(std::string::npos,
                  log().find(" Błąd podczas tworzenia katalogu " + c.failedPath + "."))
            << c.failedPath;
        EXPECT_TRUE(doc.receiptWriter().pendingCount(0) == 0);
        ++number;
    }
    EXPECT_EQ(3000, quantityOf(doc, "5", 0));
}

// The receipt directory goes away (or a directory blocks the file name) while receipts end;
// once the way is clear the receipts are written at the next attempt, in order, byte for byte,
// and their sales are counted exactly once.
TEST_F(ReceiptTest, ReceiptThatCannotBeWrittenIsKeptAndWrittenLater) {
    const std::string aside = tmp.file("receipts-aside");
    ASSERT_EQ(0, std::rename(receipts.c_str(), aside.c_str()));
    const std::string a[] = {saleMsg("S", 0, "5", "1.5"), "S;1;0;;1;2;", endMsg("S", 2, 1, 7, 1)};
    feed({a[0], a[1], a[2]});
    const std::string nameA = "20261206_00001_S_1_7.txt";
    EXPECT_EQ(1, static_cast<int>(
                     countOf(log(), " Błąd podczas tworzenia pliku " + receiptPath(nameA) + ".")));
    EXPECT_EQ(1u, doc.receiptWriter().pendingCount(0));
    EXPECT_TRUE(doc.salesEntryCount() == 0);
    EXPECT_EQ(0, doc.positiveTotal(0));
    EXPECT_EQ(crlf({a[0], a[1], a[2]}), readFile(backup + "/20261206/" + nameA));

    // A second receipt queues behind the first; the first one's failure is not logged again.
    const std::string b[] = {saleMsg("S", 3, "5", "1"), endMsg("S", 4, 1, 8, 1)};
    feed({b[0], b[1]});
    EXPECT_EQ(2u, doc.receiptWriter().pendingCount(0));
    EXPECT_EQ(1u, countOf(log(), " Błąd podczas tworzenia pliku " + receiptPath(nameA) + "."));

    ASSERT_EQ(0, std::rename(aside.c_str(), receipts.c_str()));
    const std::string nameB = "20261206_00002_S_1_8.txt";
    ASSERT_EQ(0, ::mkdir(receiptPath(nameB).c_str(), 0755));  // blocks the second file only
    doc.receiptWriter().writePending(0);
    EXPECT_EQ(crlf({a[0], a[1], a[2]}), readFile(receiptPath(nameA)));
    EXPECT_EQ(1u, doc.receiptWriter().pendingCount(0));
    EXPECT_EQ(1500, quantityOf(doc, "5", 0));
    EXPECT_EQ(2000, doc.positiveTotal(0));

    ASSERT_EQ(0, ::rmdir(receiptPath(nameB).c_str()));
    EXPECT_EQ(1u, doc.unwrittenReceiptCount());
    EXPECT_TRUE(doc.writePendingReceipts());
    EXPECT_TRUE(doc.writePendingReceipts());
    EXPECT_TRUE(doc.receiptWriter().pendingCount(0) == 0);
    EXPECT_EQ(crlf({b[0], b[1]}), readFile(receiptPath(nameB)));
    EXPECT_EQ(crlf({a[0], a[1], a[2]}), readFile(backup + "/20261206/" + nameA));
    EXPECT_EQ(crlf({b[0], b[1]}), readFile(backup + "/20261206/" + nameB));
    EXPECT_EQ(2500, quantityOf(doc, "5", 0));
    EXPECT_EQ(2000, doc.positiveTotal(0));
}

// Every poll retries a receipt that cannot be written; the log holds one failure line per copy
// and one line when the copy is finally written, however many retries come between.
TEST_F(ReceiptTest, RetriesLogTheFailureOnceAndTheLateWriteOnce) {
    const std::string aside = tmp.file("receipts-aside");
    doc.setDirectories(doc.receiptDir(),
                       receipts + "/backup");  // cannot be created while the receipts are away
    ASSERT_EQ(0, std::rename(receipts.c_str(), aside.c_str()));
    const std::string m[] = {saleMsg("S", 0, "5", "1"), endMsg("S", 1, 1, 7, 1)};
    feed({m[0], m[1]});
    for (int poll = 0; poll < 20; ++poll)
        doc.receiptWriter().writePending(0);
    const std::string name = "20261206_00001_S_1_7.txt";
    const std::string backupPath = doc.backupDir() + "/20261206/" + name;
    EXPECT_EQ(1u, countOf(log(), " Błąd podczas tworzenia pliku " + receiptPath(name) + "."));
    EXPECT_EQ(1u, countOf(log(), " Błąd podczas tworzenia katalogu " + doc.backupDir() + "."));
    EXPECT_EQ(2u, countOf(log(), " Błąd"));

    ASSERT_EQ(0, std::rename(aside.c_str(), receipts.c_str()));
    for (int poll = 0; poll < 3; ++poll)
        doc.receiptWriter().writePending(0);
    EXPECT_TRUE(doc.receiptWriter().pendingCount(0) == 0);
    EXPECT_EQ(crlf({m[0], m[1]}), readFile(receiptPath(name)));
    EXPECT_EQ(crlf({m[0], m[1]}), readFile(backupPath));
    EXPECT_EQ(1u, countOf(log(), " Plik " + receiptPath(name) + " zapisano przy kolejnej próbie."));
    EXPECT_EQ(1u, countOf(log(), " Plik " + backupPath + " zapisano przy kolejnej próbie."));

    // A receipt written at the first attempt adds no such line.
    feed({saleMsg("S", 2, "5", "1"), endMsg("S", 3, 1, 8, 1)});
    EXPECT_EQ(2u, countOf(log(), "kolejnej"));
    EXPECT_EQ(2u, countOf(log(), " Błąd"));
    EXPECT_EQ(2000, quantityOf(doc, "5", 0));
}

TEST_F(ReceiptTest, AppendReportsOpenAndWriteFailures) {
    EXPECT_EQ(AppendResult::WriteFailed, appendReceiptData("/dev/full", "line\r\n"));
    EXPECT_EQ(AppendResult::OpenFailed, appendReceiptData(tmp.file("none/x.txt"), "line\r\n"));
    const std::string path = receiptPath("a.txt");
    ASSERT_EQ(AppendResult::Ok, appendReceiptData(path, "one\r\n"));
    ASSERT_EQ(AppendResult::Ok, appendReceiptData(path, "two\r\n"));
    EXPECT_EQ("one\r\ntwo\r\n", readFile(path));
}

TEST_F(ReceiptTest, UnsafeSerialNumberNeverNamesAFile) {
    const std::string serials[] = {
        "../up",
        "a/b",
        "/abs",
        "a\\b",
        ".",
        "..",
        std::string("a\0b", 3),
        "a\tb",
        "a\x7f",
        "a\nb",
        std::string(65, 'x'),
    };
    for (const std::string& serial : serials) {
        const std::string msg = endMsg(serial, 0, 1, 5, 1);
        feed({saleMsg(serial, 0, "5", "1"), msg});
        EXPECT_EQ(std::string::npos, log().find("Zmiana numeru")) << serial;
    }
    EXPECT_EQ(22u, countOf(log(), " Błąd podczas analizy wiadomości z kasy\n\t"));
    EXPECT_TRUE(doc.slotAt(0)->serialNumber.empty());
    EXPECT_TRUE(fs::is_empty(receipts));
    EXPECT_FALSE(fs::exists(backup));
    size_t entries = 0;
    for (auto it = fs::recursive_directory_iterator(tmp.path());
         it != fs::recursive_directory_iterator(); ++it)
        ++entries;
    EXPECT_EQ(2u, entries);  // the receipt directory and the log
}

}  // namespace
}  // namespace kos::test
