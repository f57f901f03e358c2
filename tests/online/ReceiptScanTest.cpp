// The day's highest receipt file number: which names count, and the start continuing from it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CommSupport.h"
#include "online/OnlineComm.h"
#include "online/ReceiptScan.h"
#include "support/Pty.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

const LocalTime DEC_6{2026, 12, 6, 12, 51, 51};

TEST(ReceiptScanTest, OnlyTheDaysReceiptFilesWithFiveDigitNumbersCount) {
    struct Case {
        std::vector<std::string> files;
        int highest;
    };
    const std::vector<Case> cases = {
        {{}, 0},
        {{"20261206_00041_A_B_C.txt"}, 41},
        {{"20261206_00041_A_B_C.txt", "20261206_00007_123456_1_15.txt"}, 41},
        {{"20261205_00099_A_B_C.txt", "20261207_00098_A_B_C.txt", "20261206_00003_A_1_2.txt"}, 3},
        {{"20261206_0004x_A_B_C.txt", "20261206_-0041_A_B_C.txt", "20261206_ 0041_A_B_C.txt"}, 0},
        // A one-line file (receipt number 0) takes its number from the same daily count.
        {{"20261206_00041_A_B_C.txt", "20261206_00077_123456_1.txt"}, 77},
        {{"20261206_00050_A.txt", "20261206_00051_A_B_C.log", "x20261206_00052_A_B_C.txt"}, 0},
        {{"20261206_000041_A_B_C.txt", "20261206_0041_A_B_C.txt"}, 0},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const std::string& f : c.files)
            writeFile(dir.file(f), "");
        EXPECT_EQ(c.highest, scanReceiptNumbers(dir.path(), DEC_6))
            << ::testing::PrintToString(c.files);
    }
}

TEST(ReceiptScanTest, AFolderNamedLikeAReceiptCountsAndAMissingDirectoryIsAnError) {
    TempDir dir;
    ASSERT_EQ(0, ::mkdir(dir.file("20261206_00012_A_B_C.txt").c_str(), 0755));
    EXPECT_EQ(12, scanReceiptNumbers(dir.path(), DEC_6));
    EXPECT_EQ(-1, scanReceiptNumbers(dir.file("missing"), DEC_6));
}

TEST(ReceiptScanTest, StartContinuesTheDaysNumbering) {
    TempDir dir;
    Pty pty;
    FixedDateClock clock;  // 6 December 2026
    TarvelServerDoc doc(clock);
    ScriptedPrompt prompt;
    writeFile(dir.file("20261206_00041_A_B_C.txt"), "");
    writeFile(dir.file("20261205_00300_A_B_C.txt"), "");
    ASSERT_TRUE(startOnline(doc, onlineSettings(pty.slavePath(), 9600, dir.path(), ""), prompt));
    stopOnline(doc, prompt);
    EXPECT_EQ(42, doc.nextReceiptNumber(clock.localTime()));
    // The next day starts again at 1.
    EXPECT_EQ(1, doc.nextReceiptNumber({2026, 12, 7, 0, 0, 0}));
}

}  // namespace
}  // namespace kos::test
