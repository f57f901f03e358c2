// The journal file of an online document: record encoding, the torn-tail check, appends made
// durable with fdatasync, and the lock file that keeps a second program away.
#include "online/Journal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "base/Bytes.h"
#include "base/DocumentFile.h"

namespace kos {

namespace {

// Each record: uint32 payload length, uint32 CRC-32 of the payload, the payload (type byte first).
constexpr size_t RECORD_HEAD = 8;
// Longer than any record this program writes (a receipt of 1,000 lines of 256 bytes).
constexpr uint32_t MAX_RECORD = 4u << 20;

std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}

void putString(ByteWriter& w, const std::string& s) {
    w.u32(static_cast<uint32_t>(s.size()));
    w.bytes(s.data(), s.size());
}

bool getString(ByteReader& r, std::string& s) {
    uint32_t n;
    return r.u32(n) && n <= r.remaining() && r.bytes(s, n);
}

void putI64(ByteWriter& w, int64_t v) {
    w.u32(static_cast<uint32_t>(static_cast<uint64_t>(v)));
    w.u32(static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32));
}

bool getI64(ByteReader& r, int64_t& v) {
    uint32_t lo, hi;
    if (!r.u32(lo) || !r.u32(hi))
        return false;
    v = static_cast<int64_t>((uint64_t{hi} << 32) | lo);
    return true;
}

void putReceipt(ByteWriter& w, const JournalReceipt& f) {
    w.u32(f.id);
    w.i32(f.slot);
    w.u8(f.flags);
    w.i32(f.fileNumber);
    w.i32(f.receiptNumber);
    putString(w, f.mainPath);
    putString(w, f.backupDir);
    putString(w, f.backupFolder);
    putString(w, f.backupPath);
    putI64(w, f.mainBase);
    putI64(w, f.backupBase);
    w.u8(f.backupDone ? 1 : 0);
    putString(w, f.data);
}

bool getReceipt(ByteReader& r, JournalReceipt& f) {
    uint8_t done = 0;
    return r.u32(f.id) && r.i32(f.slot) && r.u8(f.flags) && r.i32(f.fileNumber) &&
           r.i32(f.receiptNumber) && getString(r, f.mainPath) && getString(r, f.backupDir) &&
           getString(r, f.backupFolder) && getString(r, f.backupPath) && getI64(r, f.mainBase) &&
           getI64(r, f.backupBase) && r.u8(done) && (f.backupDone = done != 0, true) &&
           getString(r, f.data);
}

void putSlot(ByteWriter& w, const JournalSlotState& s) {
    w.i32(s.slot);
    w.i32(s.logicalNumber);
    putString(w, s.serialNumber);
    w.u8(s.expectedSeq);
    w.i32(s.lastReceiptSeries);
    w.i32(s.lastReceiptNumber);
    w.i32(s.lastReceiptFileNumber);
    w.u8(s.discarding ? 1 : 0);
    w.u32(static_cast<uint32_t>(s.lines.size()));
    for (const std::string& l : s.lines)
        putString(w, l);
}

bool getSlot(ByteReader& r, JournalSlotState& s) {
    uint8_t discarding = 0;
    uint32_t n = 0;
    if (!(r.i32(s.slot) && r.i32(s.logicalNumber) && getString(r, s.serialNumber) &&
          r.u8(s.expectedSeq) && r.i32(s.lastReceiptSeries) && r.i32(s.lastReceiptNumber) &&
          r.i32(s.lastReceiptFileNumber) && r.u8(discarding) && r.u32(n)))
        return false;
    s.discarding = discarding != 0;
    for (uint32_t i = 0; i < n; ++i) {
        std::string line;
        if (!getString(r, line))
            return false;
        s.lines.push_back(std::move(line));
    }
    return true;
}

bool decode(const std::string& payload, JournalRecord& rec) {
    ByteReader r(payload);
    uint8_t type;
    if (!r.u8(type))
        return false;
    rec.type = static_cast<JournalRecordType>(type);
    bool ok = false;
    switch (rec.type) {
        case JournalRecordType::Slot:
            ok = getSlot(r, rec.slotState);
            break;
        case JournalRecordType::Received:
            ok = r.i32(rec.slot) && r.i32(rec.logicalNumber) && getString(r, rec.text);
            break;
        case JournalRecordType::Finished:
            ok = getReceipt(r, rec.receipt);
            break;
        case JournalRecordType::Done:
            ok = r.u32(rec.id);
            break;
        case JournalRecordType::SaveMark: {
            int64_t size = 0;
            ok = r.u32(rec.imageCrc) && getI64(r, size);
            rec.imageSize = static_cast<uint64_t>(size);
            break;
        }
    }
    return ok && r.atEnd();
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

uint32_t crc32Of(const std::string& data) {
    static const std::array<uint32_t, 256> table = makeCrcTable();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : data)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

Journal::~Journal() {
    release();
}

std::string Journal::journalPath(const std::string& documentPath) {
    return documentPath + ".journal";
}

std::string Journal::lockPath(const std::string& documentPath) {
    return documentPath + ".lock";
}

std::string Journal::encode(const JournalRecord& rec) {
    ByteWriter w;
    w.u8(static_cast<uint8_t>(rec.type));
    switch (rec.type) {
        case JournalRecordType::Slot:
            putSlot(w, rec.slotState);
            break;
        case JournalRecordType::Received:
            w.i32(rec.slot);
            w.i32(rec.logicalNumber);
            putString(w, rec.text);
            break;
        case JournalRecordType::Finished:
            putReceipt(w, rec.receipt);
            break;
        case JournalRecordType::Done:
            w.u32(rec.id);
            break;
        case JournalRecordType::SaveMark:
            w.u32(rec.imageCrc);
            putI64(w, static_cast<int64_t>(rec.imageSize));
            break;
    }
    ByteWriter out;
    out.u32(static_cast<uint32_t>(w.data().size()));
    out.u32(crc32Of(w.data()));
    out.bytes(w.data().data(), w.data().size());
    return out.data();
}

std::vector<JournalRecord> Journal::parse(const std::string& bytes, size_t& valid) {
    std::vector<JournalRecord> records;
    valid = 0;
    while (bytes.size() - valid >= RECORD_HEAD) {
        const std::string headBytes = bytes.substr(valid, RECORD_HEAD);  // the reader keeps a reference
        ByteReader head(headBytes);
        uint32_t length = 0, crc = 0;
        head.u32(length);
        head.u32(crc);
        if (length == 0 || length > MAX_RECORD || length > bytes.size() - valid - RECORD_HEAD)
            break;
        const std::string payload = bytes.substr(valid + RECORD_HEAD, length);
        JournalRecord rec;
        if (crc32Of(payload) != crc || !decode(payload, rec))
            break;
        records.push_back(std::move(rec));
        valid += RECORD_HEAD + length;
    }
    return records;
}

Journal::Claim Journal::claim(const std::string& documentPath,
                              std::vector<JournalRecord>& records) {
    release();
    records.clear();
    lockFd_ = ::open(lockPath(documentPath).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0)
        return Claim::Failed;
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        release();
        return busy ? Claim::HeldElsewhere : Claim::Failed;
    }
    const std::string path = journalPath(documentPath);
    std::string bytes;
    readWholeFile(path, bytes);
    size_t valid = 0;
    records = parse(bytes, valid);
    tornBytes_ = bytes.size() - valid;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0 || (tornBytes_ > 0 && ::ftruncate(fd_, static_cast<off_t>(valid)) != 0)) {
        release();
        records.clear();
        return Claim::Failed;
    }
    size_ = valid;
    documentPath_ = documentPath;
    return Claim::Owned;
}

void Journal::release() {
    if (fd_ >= 0)
        ::close(fd_);
    if (lockFd_ >= 0)
        ::close(lockFd_);  // gives the flock up
    fd_ = -1;
    lockFd_ = -1;
    size_ = 0;
    documentPath_.clear();
}

bool Journal::append(const JournalRecord& r, bool sync) {
    if (fd_ < 0)
        return false;
    const std::string bytes = encode(r);
    if (!writeAll(fd_, bytes)) {
        // A partly written record would hide every later one: take it back.
        if (::ftruncate(fd_, static_cast<off_t>(size_)) != 0)
            return false;
        return false;
    }
    size_ += bytes.size();
    return !sync || (sync_ ? sync_(fd_) : ::fdatasync(fd_)) == 0;
}

bool Journal::rewrite(const std::vector<JournalRecord>& records) {
    if (fd_ < 0)
        return false;
    std::string bytes;
    for (const JournalRecord& r : records)
        bytes += encode(r);
    const std::string path = journalPath(documentPath_);
    if (!replaceFile(path, bytes))
        return false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd_);
    fd_ = fd;
    size_ = bytes.size();
    return true;
}

}  // namespace kos
