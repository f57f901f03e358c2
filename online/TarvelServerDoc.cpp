#include "online/TarvelServerDoc.h"

#include <algorithm>

namespace kos {

TarvelServerDoc::TarvelServerDoc(Clock& clock) : serverLog(clock), link(clock), clock_(clock) {}

TarvelServerDoc::~TarvelServerDoc() {
    // The owner stops communication first; never leave a running thread behind.
    if (worker.joinable()) {
        registerLock.setStop();
        worker.join();
    }
}

int TarvelServerDoc::usedSlotCount() const {
    return static_cast<int>(std::count_if(
        slots.begin(), slots.end(), [](const EcrOnLineComm& s) { return s.logicalNumber != -1; }));
}

EcrOnLineComm* TarvelServerDoc::slotAt(int index) {
    if (index < 0 || index >= SLOT_COUNT)
        return nullptr;
    return &slots[index];
}

int TarvelServerDoc::findSlot(int32_t logicalNumber) const {
    if (logicalNumber == -1)
        return -1;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (slots[i].logicalNumber == logicalNumber)
            return i;
    return -1;
}

int TarvelServerDoc::addRegister(int32_t logicalNumber) {
    if (logicalNumber == -1)
        return -1;
    std::lock_guard<RegisterLock> g(registerLock);
    if (findSlot(logicalNumber) != -1)
        return -1;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (slots[i].logicalNumber == -1) {
            slots[i].logicalNumber = logicalNumber;
            {
                std::lock_guard<std::mutex> s(salesLock);
                positiveTotal[i] = 0;
                negativeTotal[i] = 0;
            }
            setModified();
            return i;
        }
    }
    return -1;
}

void TarvelServerDoc::removeRegister(int slotIndex) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return;
    std::lock_guard<RegisterLock> g(registerLock);
    vacateSlot(slotIndex);
    {
        std::lock_guard<std::mutex> s(salesLock);
        positiveTotal[slotIndex] = 0;
        negativeTotal[slotIndex] = 0;
    }
    // One entry per salesLock hold, so other users of the table get in between.
    const auto clearSlot = [slotIndex](SalesTable::Entry& e) {
        e.sale.quantity[slotIndex] = 0;
        e.sale.extra[slotIndex] = 0;
        return !e.sale.isEmpty();
    };
    SalesTable::Walk walk;
    for (bool more = true; more;) {
        std::lock_guard<std::mutex> s(salesLock);
        more = sales.walkStep(walk, clearSlot);
    }
    setModified();
}

void TarvelServerDoc::vacateSlot(int slotIndex) {
    EcrOnLineComm& slot = slots[slotIndex];
    // Written now, their sales are counted under this slot and cleared with the rest of its
    // quantities by the caller.
    slot.writePendingReceipts(slotIndex, *this);
    for (PendingReceipt& r : slot.unwritten) {
        for (EcrLine& line : r.lines)
            line.counted = true;
        removedReceipts.push_back(std::move(r));
    }
    slot.unwritten.clear();
    slot.discardReceipt(*this);
    // A register added later starts like one in a freshly opened document.
    slot.serialNumber.clear();
    slot.expectedSeq = NO_SEQ;
    slot.connected = 0;
    slot.failedPolls = 0;
    slot.logicalNumber = -1;
}

int64_t TarvelServerDoc::timeKey(const LocalTime& t) {
    return ((((int64_t{t.year} * 100 + t.month) * 100 + t.day) * 100 + t.hour) * 100 + t.minute) *
               100 +
           t.second;
}

int TarvelServerDoc::nextReceiptNumber(const LocalTime& t) {
    if (timeKey(t) > endOfDay) {
        LocalTime end = t;
        end.hour = 23;
        end.minute = 59;
        end.second = 59;
        endOfDay = timeKey(end);
        nextNumber = 1;
    }
    return nextNumber++;
}

void TarvelServerDoc::setReceiptNumbering(int next, const LocalTime& day) {
    LocalTime end = day;
    end.hour = 23;
    end.minute = 59;
    end.second = 59;
    endOfDay = timeKey(end);
    nextNumber = next;
}

SumLimit TarvelServerDoc::addPositiveTotal(int slotIndex, int32_t value) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return SumLimit::Within;
    SumLimit limit;
    {
        std::lock_guard<std::mutex> s(salesLock);
        limit = addWithinRange(positiveTotal[slotIndex], value);
    }
    setModified();
    return limit;
}

SumLimit TarvelServerDoc::addNegativeTotal(int slotIndex, int32_t value) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return SumLimit::Within;
    SumLimit limit;
    {
        std::lock_guard<std::mutex> s(salesLock);
        limit = addWithinRange(negativeTotal[slotIndex], value);
    }
    setModified();
    return limit;
}

SumLimit TarvelServerDoc::addPluSale(const Plu& plu, int slotIndex, int32_t quantity) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return SumLimit::Within;
    SumLimit limit;
    {
        std::lock_guard<std::mutex> s(salesLock);
        limit = sales.add(plu, slotIndex, quantity);
    }
    setModified();
    return limit;
}

size_t TarvelServerDoc::unwrittenReceiptCount() {
    std::lock_guard<RegisterLock> g(registerLock);
    size_t n = removedReceipts.size();
    for (const EcrOnLineComm& s : slots)
        n += s.unwritten.size();
    return n;
}

bool TarvelServerDoc::writePendingReceipts() {
    std::lock_guard<RegisterLock> g(registerLock);
    EcrOnLineComm::writeReceiptQueue(removedReceipts, *this);
    bool allWritten = removedReceipts.empty();
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (!slots[i].unwritten.empty())
            slots[i].writePendingReceipts(i, *this);
        allWritten = allWritten && slots[i].unwritten.empty();
    }
    return allWritten;
}

void TarvelServerDoc::clearSlotsAndSales() {
    for (EcrOnLineComm& s : slots)
        s.reset();
    removedReceipts.clear();
    std::lock_guard<std::mutex> g(salesLock);
    positiveTotal.fill(0);
    negativeTotal.fill(0);
    sales.clear();
}

void TarvelServerDoc::clear() {
    receiptDir.clear();
    backupDir.clear();
    clearSlotsAndSales();
    nextNumber = 1;
    endOfDay = 0;
    setModified(false);
}

void TarvelServerDoc::addStatusListener(EcrStatusListener* listener) {
    std::lock_guard<std::mutex> g(listenersLock_);
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TarvelServerDoc::removeStatusListener(EcrStatusListener* listener) {
    std::lock_guard<std::mutex> g(listenersLock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TarvelServerDoc::notifyStatus(int slotIndex, int connected) {
    std::lock_guard<std::mutex> g(listenersLock_);
    for (EcrStatusListener* l : listeners_)
        l->ecrStatusChanged(slotIndex, connected);
}

void TarvelServerDoc::notifyReceiptWritten(int slotIndex, const std::string& path) {
    std::lock_guard<std::mutex> g(listenersLock_);
    for (EcrStatusListener* l : listeners_)
        l->receiptWritten(slotIndex, path);
}

void TarvelServerDoc::notifyLine(bool lost, const std::string& device) {
    std::lock_guard<std::mutex> g(listenersLock_);
    for (EcrStatusListener* l : listeners_)
        l->lineChanged(lost, device);
}

}  // namespace kos
