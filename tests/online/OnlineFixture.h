// A document with a manual clock, a receipt directory, an optional backup directory and an
// online log outside both, plus builders of register messages.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "online/TarvelServerDoc.h"
#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace kos::test {

class OnlineFixture : public ::testing::Test {
protected:
    void SetUp() override;

    std::string log() const { return readFile(logPath); }
    std::string receiptPath(const std::string& name) const { return receipts + "/" + name; }
    // Feeds messages to slot 0 as its polls would.
    void feed(std::initializer_list<std::string> messages, int slot = 0);

    ManualClock clock;
    TempDir tmp;
    TarvelServerDoc doc{clock};
    std::string receipts;
    std::string backup;
    std::string logPath;
};

// "serial;seq;0;plu;price;quantity;"
std::string saleMsg(const std::string& serial, int seq, const std::string& plu,
                    const std::string& quantity);
// A 20-field end line: close kind in field 3, number in 8, series in 9.
std::string endMsg(const std::string& serial, int seq, int closeKind, int number, int series);
// The quantity of a PLU sold at a slot; INT32_MIN when the PLU has no entry.
int32_t quantityOf(TarvelServerDoc& doc, const char* pluText, int slot);
// How often part occurs in text.
size_t countOf(const std::string& text, const std::string& part);
// Each line followed by CR LF.
std::string crlf(std::initializer_list<std::string> lines);

}  // namespace kos::test
