// The write-ahead journal of an online document ("NAME.dsr.journal"): every acknowledged receipt
// line is appended and made durable before its ACK, with the receipts finished, written and
// counted since the document was last saved. A lock file ("NAME.dsr.lock") keeps one program at
// a time on a document. Records carry a length and a CRC-32, so a torn last record is found
// and dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kos {

enum class JournalRecordType : uint8_t {
    Slot = 'S',      // a slot's receipt state when the journal was cut back
    Received = 'R',  // a frame acknowledged to a register
    Finished = 'F',  // a finished receipt: its files and bytes
    Done = 'D',      // a finished receipt written and its sales counted
    SaveMark = 'P',  // the document image about to be saved
};

struct JournalSlotState {
    int32_t slot = -1;
    int32_t logicalNumber = -1;
    std::string serialNumber;
    uint8_t expectedSeq = 255;
    int32_t lastReceiptSeries = -1;
    int32_t lastReceiptNumber = -1;
    int32_t lastReceiptFileNumber = -1;
    bool discarding = false;
    std::vector<std::string> lines;
};

// Flags of a finished receipt.
inline constexpr uint8_t JOURNAL_COUNTED = 1;  // its sales are never to be counted
inline constexpr uint8_t JOURNAL_QUEUED = 2;   // written at a cut: waits in the queue as it is
inline constexpr uint8_t JOURNAL_REMOVED = 4;  // its register was removed
inline constexpr uint8_t JOURNAL_UNNAMED = 8;  // finished before its file name was journaled

struct JournalReceipt {
    uint32_t id = 0;
    int32_t slot = -1;
    uint8_t flags = 0;
    int32_t fileNumber = -1;
    int32_t receiptNumber = -1;
    std::string mainPath;
    std::string backupDir;
    std::string backupFolder;
    std::string backupPath;
    int64_t mainBase = -1;  // length of the main file before this receipt
    int64_t backupBase = -1;
    bool backupDone = false;
    std::string data;  // the lines, each followed by CR LF
};

struct JournalRecord {
    JournalRecordType type = JournalRecordType::Received;
    JournalSlotState slotState;  // Slot
    int32_t slot = -1;           // Received
    int32_t logicalNumber = -1;  // Received
    std::string text;            // Received
    JournalReceipt receipt;      // Finished
    uint32_t id = 0;             // Done
    uint32_t imageCrc = 0;       // SaveMark
    uint64_t imageSize = 0;      // SaveMark
};

uint32_t crc32Of(const std::string& data);

class Journal {
public:
    enum class Claim { Owned, HeldElsewhere, Failed };

    Journal() = default;
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Takes the lock of the document at documentPath (without waiting) and opens its journal,
    // created when missing. The records read are returned; a torn tail is cut off the file.
    Claim claim(const std::string& documentPath, std::vector<JournalRecord>& records);
    // Closes the journal and gives the lock up.
    void release();
    bool isOpen() const { return fd_ >= 0; }
    const std::string& documentPath() const { return documentPath_; }
    uint64_t size() const { return size_; }
    // Bytes cut off as a torn tail by the last claim.
    uint64_t tornBytes() const { return tornBytes_; }

    // How a record is made durable: fdatasync unless replaced (a benchmark's slow disk).
    using SyncFn = std::function<int(int fd)>;
    void setSync(SyncFn sync) { sync_ = std::move(sync); }

    // Appends one record; with sync it is on the disk before true is returned.
    bool append(const JournalRecord& r, bool sync);
    // Replaces the journal by these records (temporary file, fsync, rename, folder fsync).
    bool rewrite(const std::vector<JournalRecord>& records);

    static std::string journalPath(const std::string& documentPath);
    static std::string lockPath(const std::string& documentPath);
    // The records of a journal's bytes up to the first damaged one; valid is their length.
    static std::vector<JournalRecord> parse(const std::string& bytes, size_t& valid);
    static std::string encode(const JournalRecord& r);

    // A failing journal is logged once until it works again.
    bool failureLogged = false;

private:
    int fd_ = -1;
    int lockFd_ = -1;
    uint64_t size_ = 0;
    uint64_t tornBytes_ = 0;
    std::string documentPath_;
    SyncFn sync_;
};

}  // namespace kos
