#include "online/TarvelServerDoc.h"

#include <algorithm>
#include <cstdio>

#include "online/JournalReplay.h"
#include "online/OnlineWorker.h"

namespace kos {

TarvelServerDoc::TarvelServerDoc(Clock& clock) : clock_(clock), serverLog_(clock), link_(clock) {}

TarvelServerDoc::~TarvelServerDoc() {
    // The owner stops communication first; never leave a running thread behind.
    stopWorker();
}

int TarvelServerDoc::usedSlotCount() const {
    return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [](const EcrOnLineComm& s) {
        return s.logicalNumber != -1;
    }));
}

EcrOnLineComm* TarvelServerDoc::slotAt(int index) {
    if (index < 0 || index >= SLOT_COUNT)
        return nullptr;
    return &slots_[index];
}

int TarvelServerDoc::findSlot(int32_t logicalNumber) const {
    if (logicalNumber == -1)
        return -1;
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (slots_[i].logicalNumber == logicalNumber)
            return i;
    return -1;
}

int32_t TarvelServerDoc::logicalNumberAt(int slotIndex) const {
    return slotIndex >= 0 && slotIndex < SLOT_COUNT ? slots_[slotIndex].logicalNumber : -1;
}

void TarvelServerDoc::forEachUsedSlot(const std::function<void(int, const EcrOnLineComm&)>& fn) {
    std::lock_guard<RegisterLock> g(registerLock_);
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (slots_[i].logicalNumber != -1)
            fn(i, slots_[i]);
}

void TarvelServerDoc::disconnectAll() {
    std::vector<int> dropped;
    {
        std::lock_guard<RegisterLock> g(registerLock_);
        for (int i = 0; i < SLOT_COUNT; ++i) {
            EcrOnLineComm& slot = slots_[i];
            if (slot.logicalNumber != -1 && slot.connected) {
                slot.connected = 0;
                dropped.push_back(i);
            }
        }
    }
    for (int i : dropped)
        notifyStatus(i, 0);
}

int TarvelServerDoc::addRegister(int32_t logicalNumber) {
    if (logicalNumber == -1)
        return -1;
    std::lock_guard<RegisterLock> g(registerLock_);
    if (findSlot(logicalNumber) != -1)
        return -1;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        if (slots_[i].logicalNumber == -1) {
            slots_[i].logicalNumber = logicalNumber;
            {
                std::lock_guard<std::mutex> s(salesLock_);
                sales_.positiveTotal[i] = 0;
                sales_.negativeTotal[i] = 0;
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
    std::lock_guard<RegisterLock> g(registerLock_);
    vacateSlot(slotIndex);
    {
        std::lock_guard<std::mutex> s(salesLock_);
        sales_.positiveTotal[slotIndex] = 0;
        sales_.negativeTotal[slotIndex] = 0;
    }
    // One entry per salesLock_ hold, so other users of the table get in between.
    const auto clearSlot = [slotIndex](SalesTable::Entry& e) {
        e.sale.quantity[slotIndex] = 0;
        e.sale.extra[slotIndex] = 0;
        return !e.sale.isEmpty();
    };
    SalesTable::Walk walk;
    for (bool more = true; more;) {
        std::lock_guard<std::mutex> s(salesLock_);
        more = sales_.table.walkStep(walk, clearSlot);
    }
    setModified();
}

void TarvelServerDoc::vacateSlot(int slotIndex) {
    EcrOnLineComm& slot = slots_[slotIndex];
    // Written now, their sales are counted under this slot and cleared with the rest of its
    // quantities by the caller.
    receipts_.releaseSlot(slotIndex);
    slot.discardReceipt(serverLog_);
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
    if (timeKey(t) > endOfDay_) {
        LocalTime end = t;
        end.hour = 23;
        end.minute = 59;
        end.second = 59;
        endOfDay_ = timeKey(end);
        nextNumber_ = 1;
    }
    return nextNumber_++;
}

void TarvelServerDoc::setReceiptNumbering(int next, const LocalTime& day) {
    LocalTime end = day;
    end.hour = 23;
    end.minute = 59;
    end.second = 59;
    endOfDay_ = timeKey(end);
    nextNumber_ = next;
    numberingSet_ = true;
}

SumLimit TarvelServerDoc::addPositiveTotal(int slotIndex, int32_t value) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return SumLimit::Within;
    SumLimit limit;
    {
        std::lock_guard<std::mutex> s(salesLock_);
        limit = addWithinRange(sales_.positiveTotal[slotIndex], value);
    }
    setModified();
    return limit;
}

SumLimit TarvelServerDoc::addNegativeTotal(int slotIndex, int32_t value) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return SumLimit::Within;
    SumLimit limit;
    {
        std::lock_guard<std::mutex> s(salesLock_);
        limit = addWithinRange(sales_.negativeTotal[slotIndex], value);
    }
    setModified();
    return limit;
}

SumLimit TarvelServerDoc::addPluSale(const Plu& plu, int slotIndex, int32_t quantity) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return SumLimit::Within;
    SumLimit limit;
    {
        std::lock_guard<std::mutex> s(salesLock_);
        limit = sales_.table.add(plu, slotIndex, quantity);
    }
    setModified();
    return limit;
}

int32_t TarvelServerDoc::positiveTotal(int slotIndex) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return 0;
    std::lock_guard<std::mutex> s(salesLock_);
    return sales_.positiveTotal[slotIndex];
}

int32_t TarvelServerDoc::negativeTotal(int slotIndex) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return 0;
    std::lock_guard<std::mutex> s(salesLock_);
    return sales_.negativeTotal[slotIndex];
}

std::optional<PluSale> TarvelServerDoc::saleOf(const Plu& plu) {
    std::lock_guard<std::mutex> s(salesLock_);
    if (const PluSale* sale = sales_.table.find(plu))
        return *sale;
    return std::nullopt;
}

size_t TarvelServerDoc::salesEntryCount() {
    std::lock_guard<std::mutex> s(salesLock_);
    return sales_.table.size();
}

size_t TarvelServerDoc::unwrittenReceiptCount() {
    std::lock_guard<RegisterLock> g(registerLock_);
    return receipts_.totalCount();
}

bool TarvelServerDoc::writePendingReceipts() {
    std::lock_guard<RegisterLock> g(registerLock_);
    return receipts_.writeAll();
}

void TarvelServerDoc::setDirectories(const std::string& receiptDir, const std::string& backupDir) {
    receiptDir_ = receiptDir;
    backupDir_ = backupDir;
}

void TarvelServerDoc::startWorker() {
    if (worker_.joinable())
        return;
    // A stop left over from a worker that ended on its own must not end the new one.
    registerLock_.clearStop();
    worker_ = std::thread([this] { runOnlineWorker(*this); });
}

void TarvelServerDoc::stopWorker() {
    registerLock_.setStop();
    if (worker_.joinable()) {
        worker_.join();
        worker_ = std::thread();
    }
}

bool TarvelServerDoc::pollLocked(int slotIndex) {
    EcrOnLineComm& slot = slots_[slotIndex];
    const int before = slot.connected;
    slot.poll(slotIndex, pollContext());
    return slot.connected != before;
}

bool TarvelServerDoc::pollNextSlot(int& last) {
    if (!registerLock_.lockUnlessStopped())
        return false;
    for (;;) {
        int index = -1;
        for (int step = 1; step <= SLOT_COUNT && index < 0; ++step) {
            const int i = (last + step) % SLOT_COUNT;
            if (slots_[i].logicalNumber != -1)
                index = i;
        }
        if (index < 0) {
            // Nothing to poll: sleep until the register list changes or the stop comes,
            // rather than going round an empty list at full speed.
            if (!registerLock_.unlockAndWaitForChange())
                return false;
            continue;
        }
        const bool changed = pollLocked(index);
        const int connected = slots_[index].connected;
        last = index;
        registerLock_.unlock();
        // Told outside the lock, so a listener may look at the register list.
        if (changed)
            notifyStatus(index, connected);
        return true;
    }
}

void TarvelServerDoc::pollSlot(int slotIndex) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return;
    bool changed = false;
    int connected = 0;
    {
        std::lock_guard<RegisterLock> g(registerLock_);
        changed = pollLocked(slotIndex);
        connected = slots_[slotIndex].connected;
    }
    if (changed)
        notifyStatus(slotIndex, connected);
}

bool TarvelServerDoc::holdRegistersUnlessStopped(const std::function<void()>& fn) {
    if (!registerLock_.lockUnlessStopped())
        return false;
    fn();
    registerLock_.unlock();
    return true;
}

bool TarvelServerDoc::sleepUnlessStopped(int ms) {
    return registerLock_.sleepUnlessStopped(ms);
}

std::string TarvelServerDoc::toDsr() {
    std::lock_guard<RegisterLock> r(registerLock_);
    std::lock_guard<std::mutex> s(salesLock_);
    return dsrImage(receiptDir_, backupDir_, slots_, sales_);
}

DsrStatus TarvelServerDoc::fromDsr(const std::string& data) {
    clear();
    DsrContents contents;
    const DsrStatus status = parseDsr(data, contents);
    if (status == DsrStatus::BadFormat)
        return status;
    receiptDir_ = std::move(contents.receiptDir);
    backupDir_ = std::move(contents.backupDir);
    if (status != DsrStatus::Ok)
        return status;
    for (int i = 0; i < SLOT_COUNT; ++i)
        slots_[i].logicalNumber = contents.logicalNumbers[i];
    {
        std::lock_guard<std::mutex> s(salesLock_);
        sales_ = std::move(contents.sales);
    }
    setModified(false);
    return DsrStatus::Ok;
}

DsrStatus TarvelServerDoc::readFile(const std::string& path) {
    std::string data;
    if (!readWholeFile(path, data))
        return DsrStatus::ReadError;
    const DsrStatus status = fromDsr(data);
    loadedCrc_ = crc32Of(data);
    loadedSize_ = data.size();
    if (status == DsrStatus::WrongSlotCount)
        unreadablePath_ = path;
    return status;
}

Journal::Claim TarvelServerDoc::attachJournal(const std::string& path) {
    std::vector<JournalRecord> records;
    const Journal::Claim claim = journal_.claim(path, records);
    journalHeldElsewhere_ = claim == Journal::Claim::HeldElsewhere;
    documentPath_ = path;
    if (claim == Journal::Claim::Owned) {
        std::lock_guard<RegisterLock> g(registerLock_);
        nextJournalId_ = replayJournal(*this, records, loadedCrc_, loadedSize_);
    }
    return claim;
}

std::vector<JournalRecord> TarvelServerDoc::journalSnapshot() {
    std::vector<JournalRecord> records;
    for (int i = 0; i < SLOT_COUNT; ++i) {
        const EcrOnLineComm& slot = slots_[i];
        if (slot.logicalNumber == -1)
            continue;
        JournalRecord r;
        r.type = JournalRecordType::Slot;
        JournalSlotState& s = r.slotState;
        s.slot = i;
        s.logicalNumber = slot.logicalNumber;
        s.serialNumber = slot.serialNumber;
        s.expectedSeq = slot.expectedSeq;
        s.lastReceiptSeries = slot.lastReceiptSeries;
        s.lastReceiptNumber = slot.lastReceiptNumber;
        s.lastReceiptFileNumber = slot.lastReceiptFileNumber;
        s.discarding = slot.discarding;
        for (const EcrLine& l : slot.lines)
            s.lines.push_back(l.text);
        records.push_back(std::move(r));
    }
    for (JournalReceipt& f : receipts_.journalImages()) {
        JournalRecord r;
        r.type = JournalRecordType::Finished;
        r.receipt = std::move(f);
        records.push_back(std::move(r));
    }
    return records;
}

// The file that could not be read stays beside the new one, with its journal.
bool TarvelServerDoc::keepUnreadable(const std::string& path) {
    if (unreadablePath_.empty() || unreadablePath_ != path)
        return true;
    std::string old;
    const std::string bak = path + ".bak";
    if (readWholeFile(path, old) && !replaceFile(bak, old))
        return false;
    ::rename(Journal::journalPath(path).c_str(), Journal::journalPath(bak).c_str());
    unreadablePath_.clear();
    return true;
}

DsrStatus TarvelServerDoc::writeFile(const std::string& path) {
    if (!keepUnreadable(path))
        return DsrStatus::WriteError;
    if (!journal_.isOpen() || journal_.documentPath() != path) {
        // What a journal there holds belongs to the file this save replaces.
        std::vector<JournalRecord> old;
        journalHeldElsewhere_ = journal_.claim(path, old) == Journal::Claim::HeldElsewhere;
        // Never over the document of a program that communicates with it.
        if (journalHeldElsewhere_)
            return DsrStatus::WriteError;
    }
    // No poll between the image and the cut: every line is in one of the two.
    std::lock_guard<RegisterLock> g(registerLock_);
    std::string image;
    {
        std::lock_guard<std::mutex> s(salesLock_);
        image = dsrImage(receiptDir_, backupDir_, slots_, sales_);
    }
    if (journal_.isOpen()) {
        JournalRecord mark;
        mark.type = JournalRecordType::SaveMark;
        mark.imageCrc = crc32Of(image);
        mark.imageSize = image.size();
        if (!journal_.append(mark, true))
            return DsrStatus::WriteError;
    }
    if (!replaceFile(path, image))
        return DsrStatus::WriteError;
    documentPath_ = path;
    loadedCrc_ = crc32Of(image);
    loadedSize_ = image.size();
    if (journal_.isOpen())
        journal_.rewrite(journalSnapshot());
    setModified(false);
    return DsrStatus::Ok;
}

DsrStatus TarvelServerDoc::openFile(const std::string& path, Prompt& prompt) {
    const DsrStatus status = readFile(path);
    switch (status) {
        case DsrStatus::Ok:
            attachJournal(path);
            break;
        case DsrStatus::WrongSlotCount:
            prompt.message(TEXT_BAD_SLOT_COUNT, PromptIcon::Stop);
            break;
        case DsrStatus::BadFormat:
            prompt.message(TEXT_UNEXPECTED_FORMAT, PromptIcon::Stop);
            break;
        default:
            prompt.message(TEXT_OPEN_FAILED, PromptIcon::Stop);
            break;
    }
    return status;
}

bool TarvelServerDoc::open(const std::string& path, Prompt& prompt) {
    const DsrStatus status = openFile(path, prompt);
    return status == DsrStatus::Ok || status == DsrStatus::WrongSlotCount;
}

bool TarvelServerDoc::save(const std::string& path, Prompt& prompt) {
    if (writeFile(path) == DsrStatus::Ok)
        return true;
    prompt.message(TEXT_SAVE_FAILED, PromptIcon::Stop);
    return false;
}

void TarvelServerDoc::clearSlotsAndSales() {
    for (EcrOnLineComm& s : slots_)
        s.reset();
    receipts_.clear();
    std::lock_guard<std::mutex> g(salesLock_);
    sales_ = SalesRecords();
}

void TarvelServerDoc::clear() {
    journal_.release();
    journalHeldElsewhere_ = false;
    documentPath_.clear();
    unreadablePath_.clear();
    loadedCrc_ = 0;
    loadedSize_ = 0;
    nextJournalId_ = 1;
    receiptDir_.clear();
    backupDir_.clear();
    clearSlotsAndSales();
    nextNumber_ = 1;
    endOfDay_ = 0;
    numberingSet_ = false;
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
