// The online document: up to 12 registers sharing one serial line, the sales collected from
// them, and everything online communication uses (link, online log, directories, receipt
// numbering, receipt writer, polling worker). Its data are reached only through the operations
// below, which take the locks: registerLock guards the register list and every slot's poll
// state; salesLock guards the sales. registerLock is always taken before salesLock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/Clock.h"
#include "base/LogFile.h"
#include "base/Prompt.h"
#include "link/Plu.h"
#include "link/TX310Comm.h"
#include "online/DsrFile.h"
#include "online/EcrOnLineComm.h"
#include "online/EcrStatusListener.h"
#include "online/Journal.h"
#include "online/PluSale.h"
#include "online/PollContext.h"
#include "online/ReceiptWriter.h"
#include "online/RegisterLock.h"
#include "online/SalesRecords.h"

namespace kos {

class TarvelServerDoc {
public:
    static constexpr int32_t FILE_VERSION = DSR_FILE_VERSION;

    explicit TarvelServerDoc(Clock& clock = systemClock());
    ~TarvelServerDoc();
    TarvelServerDoc(const TarvelServerDoc&) = delete;
    TarvelServerDoc& operator=(const TarvelServerDoc&) = delete;

    Clock& clock() { return clock_; }

    // Register list. Only the user-interface thread changes the logical numbers, so it reads
    // them without the lock; everything else of a slot belongs to the worker's polls.
    int usedSlotCount() const;
    int findSlot(int32_t logicalNumber) const;
    // -1 for an empty slot or an index out of range.
    int32_t logicalNumberAt(int slotIndex) const;
    // The slot itself, for a single-threaded caller (no worker running), or nullptr.
    EcrOnLineComm* slotAt(int index);
    // Takes registerLock: fn(slot index, slot) for every used slot in slot order.
    void forEachUsedSlot(const std::function<void(int, const EcrOnLineComm&)>& fn);
    // Takes registerLock. The lowest empty slot, or -1 when the number exists or all are used.
    int addRegister(int32_t logicalNumber);
    // Takes registerLock, then salesLock per sales entry. The slot's finished receipts are
    // written first; those that cannot be wait in the receipt writer. Lines of an unfinished
    // receipt are discarded into the online log.
    void removeRegister(int slotIndex);
    // Takes registerLock: every connected register becomes not connected; the status
    // listeners are told after the lock is released.
    void disconnectAll();

    // Receipt numbering of the current local day (worker thread).
    int nextReceiptNumber(const LocalTime& t);
    // Sets the numbering at start: next number and the day it belongs to.
    void setReceiptNumbering(int next, const LocalTime& day);
    // Whether the numbering was set by a start (receipts may be given file names).
    bool hasReceiptNumbering() const { return numberingSet_; }

    // Sales. Each operation takes salesLock; the adding ones mark the document modified. A sum
    // beyond the 32-bit range stops at the limit; Reached tells the caller to log it.
    SumLimit addPositiveTotal(int slotIndex, int32_t value);
    SumLimit addNegativeTotal(int slotIndex, int32_t value);
    SumLimit addPluSale(const Plu& plu, int slotIndex, int32_t quantity);
    template <typename Fn>
    decltype(auto) withSales(Fn&& fn) {
        std::lock_guard<std::mutex> s(salesLock_);
        return fn(sales_);
    }
    // The same with registerLock taken first (the register numbers stay as they are).
    template <typename Fn>
    decltype(auto) withRegistersAndSales(Fn&& fn) {
        std::lock_guard<RegisterLock> r(registerLock_);
        std::lock_guard<std::mutex> s(salesLock_);
        return fn(sales_);
    }
    int32_t positiveTotal(int slotIndex);
    int32_t negativeTotal(int slotIndex);
    std::optional<PluSale> saleOf(const Plu& plu);
    size_t salesEntryCount();

    // Finished receipts not yet on disk (their folder could not be written), all slots and
    // removed registers; takes registerLock.
    size_t unwrittenReceiptCount();
    // Tries them once more under registerLock (for a stop or a close); true when none is left.
    bool writePendingReceipts();
    // The writer itself: worker thread, or registerLock held, or no worker running.
    ReceiptWriter& receiptWriter() { return receipts_; }

    // Directories in use while online; stored in the file.
    const std::string& receiptDir() const { return receiptDir_; }
    const std::string& backupDir() const { return backupDir_; }
    void setDirectories(const std::string& receiptDir, const std::string& backupDir);
    // The online log (locked by itself) and the serial link (the worker's while online).
    LogFile& serverLog() { return serverLog_; }
    TX310Comm& link() { return link_; }

    // The polling worker.
    bool isOnline() const { return worker_.joinable(); }
    // Starts the worker thread (it polls until stopWorker).
    void startWorker();
    // Sets the stop event; waits for the worker (the poll in progress is completed first).
    void stopWorker();
    // Worker side: waits for registerLock or the stop event; with the lock, polls the first
    // used slot after last (and sets last to it), or sleeps until the register list changes.
    // A changed connection flag is told after the lock is released. False at the stop.
    bool pollNextSlot(int& last);
    // Takes registerLock and polls one slot, as the worker does.
    void pollSlot(int slotIndex);
    // Worker side: runs fn holding registerLock unless the stop event comes first (false).
    bool holdRegistersUnlessStopped(const std::function<void()>& fn);
    // Worker side, without the lock: false when the stop event came within ms.
    bool sleepUnlessStopped(int ms);
    // What a slot's poll uses (worker thread, registerLock held).
    PollContext pollContext() {
        return {link_, serverLog_, receipts_, clock_, journal_.isOpen() ? &journal_ : nullptr};
    }

    // The journal beside the document file. attachJournal takes its lock and replays it into
    // this document (open does so itself); HeldElsewhere: another program has it, nothing was
    // replayed and communication is refused.
    Journal::Claim attachJournal(const std::string& documentPath);
    bool journalHeldElsewhere() const { return journalHeldElsewhere_; }
    bool hasJournal() const { return journal_.isOpen(); }
    Journal& journal() { return journal_; }
    uint64_t journalSize() const { return journal_.size(); }
    // Journal writes of the poll step (worker thread, registerLock held): 0 without a journal.
    uint32_t newJournalId() { return journal_.isOpen() ? nextJournalId_++ : 0; }
    bool appendJournal(const JournalRecord& r, bool sync) {
        return journal_.isOpen() && journal_.append(r, sync);
    }

    // Back to a new document (before new, open and close). Not while online.
    void clear();

    // The ".dsr" form.
    std::string toDsr();
    DsrStatus fromDsr(const std::string& data);
    DsrStatus readFile(const std::string& path);
    // Writes through a temporary file, so a failed save leaves the old file whole; then cuts
    // the journal back to what the file does not hold (unfinished and unwritten receipts).
    // The first save over a file that could not be read keeps it as NAME.dsr.bak. A file whose
    // journal another program holds is not written (WriteError).
    DsrStatus writeFile(const std::string& path);
    // readFile, the user told of failures, and the journal attached and replayed.
    DsrStatus openFile(const std::string& path, Prompt& prompt);
    // readFile/writeFile with the user told of failures; true when the document is open/saved.
    bool open(const std::string& path, Prompt& prompt);
    bool save(const std::string& path, Prompt& prompt);

    bool isModified() const { return modified_; }
    void setModified(bool m = true) { modified_ = m; }

    // Status listeners; the notify calls are what the worker uses.
    void addStatusListener(EcrStatusListener* listener);
    void removeStatusListener(EcrStatusListener* listener);
    void notifyStatus(int slotIndex, int connected);
    void notifyReceiptWritten(int slotIndex, const std::string& path);
    void notifyLine(bool lost, const std::string& device);

    static int64_t timeKey(const LocalTime& t);

private:
    void clearSlotsAndSales();
    // Empties a slot for removeRegister (registerLock held).
    void vacateSlot(int slotIndex);
    // One poll of a used slot (registerLock held); whether its connection flag changed.
    bool pollLocked(int slotIndex);
    // The journal records of what a save leaves out (registerLock held).
    std::vector<JournalRecord> journalSnapshot();
    bool keepUnreadable(const std::string& path);

    Clock& clock_;
    LogFile serverLog_;
    TX310Comm link_;
    std::string receiptDir_;
    std::string backupDir_;
    std::mutex salesLock_;
    SalesRecords sales_;  // guarded by salesLock_
    // Also holds the worker's stop event.
    RegisterLock registerLock_;
    std::array<EcrOnLineComm, SLOT_COUNT> slots_;  // guarded by registerLock_
    ReceiptWriter receipts_{*this};                // guarded by registerLock_
    std::thread worker_;
    int nextNumber_ = 1;
    // 23:59:59 of the day nextNumber_ belongs to, as YYYYMMDDhhmmss; 0 initially.
    int64_t endOfDay_ = 0;
    bool numberingSet_ = false;
    std::atomic<bool> modified_{false};
    Journal journal_;  // appended to under registerLock_
    bool journalHeldElsewhere_ = false;
    uint32_t nextJournalId_ = 1;
    // The last file read: its path, and its bytes' CRC-32 and length for the journal's save marks.
    std::string documentPath_;
    uint32_t loadedCrc_ = 0;
    uint64_t loadedSize_ = 0;
    std::string unreadablePath_;  // read with a wrong slot count, not yet saved over
    std::mutex listenersLock_;
    std::vector<EcrStatusListener*> listeners_;
};

}  // namespace kos
