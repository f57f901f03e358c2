// The online document: up to 12 registers sharing one serial line, the sales collected from
// them, and everything online communication uses (link, online log, directories, receipt
// numbering). Lock order: registerLock before salesLock, never the other way round.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Clock.h"
#include "base/LogFile.h"
#include "base/Prompt.h"
#include "link/Plu.h"
#include "link/TX310Comm.h"
#include "online/EcrOnLineComm.h"
#include "online/PluSale.h"
#include "online/RegisterLock.h"
#include "online/SalesTable.h"

namespace kos {

// Told when a slot's connection flag changes. Called on the worker thread; a window re-posts
// the call to its own thread.
class EcrStatusListener {
public:
    virtual ~EcrStatusListener() = default;
    virtual void ecrStatusChanged(int slotIndex, int connected) = 0;
    // A finished receipt's main copy is on disk at path (worker thread, registerLock held).
    virtual void receiptWritten(int /*slotIndex*/, const std::string& /*path*/) {}
    // The serial line at device was lost (unplugged), or opened again (worker thread).
    virtual void lineChanged(bool /*lost*/, const std::string& /*device*/) {}
};

enum class DsrStatus {
    Ok,
    WrongSlotCount,  // opened with the two directories only; the user is told
    BadFormat,       // not opened
    ReadError,
    WriteError,
};

inline constexpr const char* TEXT_UNEXPECTED_FORMAT = "Unexpected file format.";
inline constexpr const char* TEXT_BAD_SLOT_COUNT = "Niepoprawny format pliku.";
inline constexpr const char* TEXT_OPEN_FAILED = "Failed to open document.";
inline constexpr const char* TEXT_SAVE_FAILED = "Failed to save document.";

class TarvelServerDoc {
public:
    static constexpr int32_t FILE_VERSION = 1;

    explicit TarvelServerDoc(Clock& clock = systemClock());
    ~TarvelServerDoc();
    TarvelServerDoc(const TarvelServerDoc&) = delete;
    TarvelServerDoc& operator=(const TarvelServerDoc&) = delete;

    Clock& clock() { return clock_; }

    // Register list.
    int usedSlotCount() const;
    EcrOnLineComm* slotAt(int index);
    int findSlot(int32_t logicalNumber) const;
    bool isOnline() const { return worker.joinable(); }
    // Takes registerLock. The lowest empty slot, or -1 when the number exists or all are used.
    int addRegister(int32_t logicalNumber);
    // Takes registerLock, then salesLock per sales entry. The slot's finished receipts are
    // written first; those that cannot be move to removedReceipts. Lines of an unfinished
    // receipt are discarded into the online log.
    void removeRegister(int slotIndex);

    // Receipt numbering of the current local day (worker thread).
    int nextReceiptNumber(const LocalTime& t);
    // Sets the numbering at start: next number and the day it belongs to.
    void setReceiptNumbering(int next, const LocalTime& day);

    // Each takes salesLock and marks the document modified. A sum beyond the 32-bit range
    // stops at the limit; Reached tells the caller to log it.
    SumLimit addPositiveTotal(int slotIndex, int32_t value);
    SumLimit addNegativeTotal(int slotIndex, int32_t value);
    SumLimit addPluSale(const Plu& plu, int slotIndex, int32_t quantity);

    // Finished receipts not yet on disk (their folder could not be written), all slots and
    // removed registers.
    size_t unwrittenReceiptCount();
    // Tries them once more under registerLock (for a stop or a close); true when none is left.
    bool writePendingReceipts();

    // Back to a new document (before new, open and close). Not while online.
    void clear();

    // The ".dsr" form.
    std::string toDsr();
    DsrStatus fromDsr(const std::string& data);
    DsrStatus readFile(const std::string& path);
    // Writes through a temporary file, so a failed save leaves the old file whole.
    DsrStatus writeFile(const std::string& path);
    // readFile/writeFile with the user told of failures; true when the document is open/saved.
    bool open(const std::string& path, Prompt& prompt);
    bool save(const std::string& path, Prompt& prompt);

    bool isModified() const { return modified_; }
    void setModified(bool m = true) { modified_ = m; }

    // Status listeners; notifyStatus is what the worker calls when a connection flag changed.
    void addStatusListener(EcrStatusListener* listener);
    void removeStatusListener(EcrStatusListener* listener);
    void notifyStatus(int slotIndex, int connected);
    void notifyReceiptWritten(int slotIndex, const std::string& path);
    void notifyLine(bool lost, const std::string& device);

    LogFile serverLog;
    TX310Comm link;
    std::string receiptDir;
    std::string backupDir;
    SalesTable sales;  // guarded by salesLock
    std::mutex salesLock;
    std::array<int32_t, SLOT_COUNT> positiveTotal{};  // guarded by salesLock
    std::array<int32_t, SLOT_COUNT> negativeTotal{};  // guarded by salesLock
    std::array<EcrOnLineComm, SLOT_COUNT> slots;
    // Finished receipts of removed registers, not yet on disk; guarded by registerLock and
    // retried at every poll. Their sales are never counted, so they go to no later register.
    std::deque<PendingReceipt> removedReceipts;
    // Also holds the worker's stop event (setStop, lockUnlessStopped).
    RegisterLock registerLock;
    std::thread worker;
    int nextNumber = 1;
    // 23:59:59 of the day nextNumber belongs to, as YYYYMMDDhhmmss; 0 initially.
    int64_t endOfDay = 0;

    static int64_t timeKey(const LocalTime& t);

private:
    void clearSlotsAndSales();
    // Empties a slot for removeRegister (registerLock held).
    void vacateSlot(int slotIndex);

    Clock& clock_;
    std::atomic<bool> modified_{false};
    std::mutex listenersLock_;
    std::vector<EcrStatusListener*> listeners_;
};

}  // namespace kos
