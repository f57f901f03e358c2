#include "OnlineFixture.h"

#include <sys/stat.h>

namespace kos::test {

void OnlineFixture::SetUp() {
    receipts = tmp.file("receipts");
    backup = tmp.file("backup");
    logPath = tmp.file("TarvelServer.log");
    ASSERT_EQ(0, ::mkdir(receipts.c_str(), 0755));
    doc.setDirectories(receipts, doc.backupDir());
    doc.setDirectories(doc.receiptDir(), backup);
    ASSERT_TRUE(doc.serverLog().open(logPath, LogFile::LOG_CLOSE_EACH_WRITE));
    ASSERT_EQ(0, doc.addRegister(7));
}

void OnlineFixture::feed(std::initializer_list<std::string> messages, int slot) {
    for (const std::string& m : messages)
        doc.slotAt(slot)->handleMessage(m, slot, doc.pollContext());
}

std::string saleMsg(const std::string& serial, int seq, const std::string& plu,
                    const std::string& quantity) {
    return serial + ";" + std::to_string(seq) + ";0;" + plu + ";2.50;" + quantity + ";";
}

std::string endMsg(const std::string& serial, int seq, int closeKind, int number, int series) {
    std::string m = serial + ";" + std::to_string(seq) + ";3;" + std::to_string(closeKind) + ";";
    m += "12.50;0;0;1;" + std::to_string(number) + ";" + std::to_string(series) + ";";
    for (int f = 10; f < 20; ++f)
        m += "x" + std::to_string(f) + ";";
    return m;
}

int32_t quantityOf(TarvelServerDoc& doc, const char* pluText, int slot) {
    Plu plu;
    plu.parse(pluText);
    const std::optional<PluSale> sale = doc.saleOf(plu);
    return sale ? sale->quantity[slot] : INT32_MIN;
}

size_t countOf(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::string crlf(std::initializer_list<std::string> lines) {
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

}  // namespace kos::test
