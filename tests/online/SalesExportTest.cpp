// The sales export file, byte for byte, the reset, and failed writes.
#include <gtest/gtest.h>

#include "online/SalesExport.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompt.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

Plu pluOf(const char* digits) {
    Plu p;
    EXPECT_TRUE(p.parse(digits));
    return p;
}

class SalesExportTest : public ::testing::Test {
protected:
    std::string exportText(bool reset) {
        EXPECT_TRUE(exportSales(doc, path, reset, prompt));
        return readFile(path);
    }

    ManualClock clock;
    TarvelServerDoc doc{clock};
    ScriptedPrompt prompt;
    TempDir tmp;
    std::string path = tmp.file("sprzedaz.txt");
};

TEST_F(SalesExportTest, EmptyDocumentWritesTwoEmptyLines) {
    EXPECT_EQ("\r\n\r\n", exportText(false));
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(SalesExportTest, RegistersTotalsAndArticlesInTableOrder) {
    doc.addRegister(8);
    doc.addRegister(2);
    doc.addRegister(56);
    doc.removeRegister(2);  // an empty slot between two registers is skipped
    doc.slotAt(0)->serialNumber = "123456";
    doc.addPositiveTotal(0, 123456);
    doc.addNegativeTotal(0, -500);
    doc.addNegativeTotal(1, -1500);
    // Buckets by the last four BCD bytes modulo 17: 22 in 0, 5 in 5, 12345678901234 in 11.
    doc.addPluSale(pluOf("5"), 0, 1500);
    doc.addPluSale(pluOf("22"), 1, 1050);
    doc.addPluSale(pluOf("12345678901234"), 0, -250);

    EXPECT_EQ(
        "8;123456;2;;\r\n"
        "123,456;-0,500;0,000;-1,500;\r\n"
        "00000000000022;0.000;1.050;\r\n"
        "00000000000005;1.500;0.000;\r\n"
        "12345678901234;-0.250;0.000;\r\n",
        exportText(false));
    EXPECT_EQ(3u, doc.salesEntryCount());  // without reset nothing changes
    EXPECT_EQ(123456, doc.positiveTotal(0));
}

TEST_F(SalesExportTest, QuantitiesAtTheEdgesOfTheirForm) {
    const int32_t quantities[] = {0, 1, -1, -999, -1000, 1050, INT32_MAX, INT32_MIN};
    for (int slot = 0; slot < 8; ++slot) {
        doc.addRegister(slot + 1);
        doc.addPluSale(pluOf("5"), slot, quantities[slot]);
    }
    const std::string text = exportText(false);
    EXPECT_EQ("00000000000005;0.000;0.001;-0.001;-0.999;-1.000;1.050;2147483.647;-2147483.648;\r\n",
              text.substr(text.rfind("\r\n0") + 2));
}

TEST_F(SalesExportTest, ResetZeroesWhatWasWrittenAndMarksTheDocument) {
    doc.addRegister(8);
    doc.addRegister(2);
    doc.addPositiveTotal(1, 2000);
    doc.addPluSale(pluOf("5"), 0, 1500);
    doc.setModified(false);

    EXPECT_EQ("8;;2;;\r\n0,000;0,000;2,000;0,000;\r\n00000000000005;1.500;0.000;\r\n",
              exportText(true));
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.salesEntryCount() == 0);
    EXPECT_EQ(0, doc.positiveTotal(1));
    EXPECT_EQ("8;;2;;\r\n0,000;0,000;0,000;0,000;\r\n", exportText(true));
}

TEST_F(SalesExportTest, FailuresAreReportedAndAResetStaysDone) {
    doc.addRegister(8);
    doc.addPositiveTotal(0, 2000);
    doc.addPluSale(pluOf("5"), 0, 1500);

    EXPECT_FALSE(exportSales(doc, tmp.file("no/such/dir.txt"), false, prompt));
    ASSERT_EQ(1u, prompt.shown.size());
    EXPECT_EQ("Błąd podczas otwierania pliku.", prompt.shown[0].text);
    EXPECT_EQ(PromptIcon::Stop, prompt.shown[0].icon);

    // /dev/full takes the buffered lines and refuses them when they are flushed.
    EXPECT_EQ(ExportResult::WriteFailed, writeSalesExport(doc, "/dev/full", false));
    EXPECT_FALSE(exportSales(doc, "/dev/full", true, prompt));
    ASSERT_EQ(2u, prompt.shown.size());
    EXPECT_EQ("Błąd podczas zapisu do pliku.", prompt.shown[1].text);
    EXPECT_EQ(0, doc.positiveTotal(0));
    EXPECT_TRUE(doc.salesEntryCount() == 0);
}

}  // namespace
}  // namespace kos::test
