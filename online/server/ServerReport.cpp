#include "ServerReport.h"

#include "base/Clock.h"

namespace kos {

namespace {

void timeStamp(std::FILE* out) {
    const LocalTime t = systemClock().localTime();
    std::fprintf(out, "%.2d:%.2d:%.2d ", t.hour, t.minute, t.second);
}

}  // namespace

ServerReport::ServerReport(TarvelServerDoc& doc, std::FILE* out) : out_(out) {
    numbers_.fill(-1);
    doc.forEachUsedSlot(
        [this](int i, const EcrOnLineComm& slot) { numbers_[i] = slot.logicalNumber; });
}

int ServerReport::numberOf(int slotIndex) const {
    return slotIndex >= 0 && slotIndex < SLOT_COUNT ? numbers_[slotIndex] : -1;
}

void ServerReport::ecrStatusChanged(int slotIndex, int connected) {
    std::lock_guard<std::mutex> g(lock_);
    timeStamp(out_);
    std::fprintf(out_, "kasa %d: %s\n", numberOf(slotIndex),
                 connected ? "podłączona" : "nie podłączona");
    std::fflush(out_);
}

void ServerReport::receiptWritten(int slotIndex, const std::string& path) {
    std::lock_guard<std::mutex> g(lock_);
    ++receipts_;
    timeStamp(out_);
    std::fprintf(out_, "kasa %d: paragon %s\n", numberOf(slotIndex), path.c_str());
    std::fflush(out_);
}

void ServerReport::lineChanged(bool lost, const std::string& device) {
    std::lock_guard<std::mutex> g(lock_);
    timeStamp(out_);
    std::fprintf(out_, "port %s: %s\n", device.c_str(),
                 lost ? "utracono połączenie" : "ponownie otwarty");
    std::fflush(out_);
}

long ServerReport::receipts() const {
    std::lock_guard<std::mutex> g(lock_);
    return receipts_;
}

}  // namespace kos
