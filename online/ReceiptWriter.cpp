// The main and backup copies of finished receipts, their retries and the sales they add.
#include "online/ReceiptWriter.h"

#include <sys/stat.h>

#include <cstdlib>

#include "online/ReceiptFile.h"
#include "online/TarvelServerDoc.h"

namespace kos {

namespace {

std::string receiptData(const std::vector<EcrLine>& lines) {
    std::string data;
    for (const EcrLine& l : lines) {
        data += l.text;
        data += "\r\n";  // the readers of these files expect CR LF
    }
    return data;
}

int64_t fileLength(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

std::vector<EcrLine> linesOf(const std::string& data, bool counted) {
    std::vector<EcrLine> lines;
    for (size_t pos = 0; pos < data.size();) {
        size_t end = data.find("\r\n", pos);
        if (end == std::string::npos)
            end = data.size();
        EcrLine line;
        if (!line.parse(data.substr(pos, end - pos)))
            line.text = data.substr(pos, end - pos);
        line.counted = counted;
        lines.push_back(std::move(line));
        pos = end + 2;
    }
    return lines;
}

bool allCounted(const std::vector<EcrLine>& lines) {
    for (const EcrLine& l : lines)
        if (!l.counted && (l.type == LINE_SALE || l.type == LINE_SALE_NO_PLU))
            return false;
    return true;
}

// A receipt as its journal record holds it.
JournalReceipt imageOf(const PendingReceipt& r, uint8_t flags) {
    JournalReceipt f;
    f.id = r.journalId;
    f.slot = r.slotIndex;
    f.flags = flags | (allCounted(r.lines) ? JOURNAL_COUNTED : 0);
    f.fileNumber = r.fileNumber;
    f.receiptNumber = r.receiptNumber;
    f.mainPath = r.mainPath;
    f.backupDir = r.backupDir;
    f.backupFolder = r.backupFolder;
    f.backupPath = r.backupPath;
    f.mainBase = r.mainBase;
    f.backupBase = r.backupBase;
    f.backupDone = r.backupDone;
    f.data = r.data;
    return f;
}

constexpr const char* TEXT_DIR_FAILED = "\n%t Błąd podczas tworzenia katalogu %s.";
constexpr const char* TEXT_RETRY_WRITTEN = "\n%t Plik %s zapisano przy kolejnej próbie.";
// A sum that came to the 32-bit limit stops there; said once, when it comes to it.
constexpr const char* TEXT_ARTICLE_AT_LIMIT =
    "\n%t Błąd, ilość towaru o PLU %s z kasy %s osiągnęła granicę zakresu; dalsza sprzedaż "
    "nie jest doliczana.";
constexpr const char* TEXT_TOTAL_AT_LIMIT =
    "\n%t Błąd, suma sprzedaży bez PLU z kasy %s osiągnęła granicę zakresu; dalsza sprzedaż "
    "nie jest doliczana.";

const char* failureText(AppendResult result) {
    switch (result) {
        case AppendResult::OpenFailed:
            return "\n%t Błąd podczas tworzenia pliku %s.";
        case AppendResult::WriteFailed:
            return "\n%t Błąd podczas zapisu do pliku %s.";
        default:
            return nullptr;
    }
}

}  // namespace

// A failure goes to the log the first time only; the success that follows a logged failure is
// logged too, so the log shows when the receipt finally reached its file.
void ReceiptWriter::logOutcome(const char* failure, const std::string& path, bool& failureLogged) {
    if (failure && !failureLogged) {
        doc_.serverLog().print(failure, path.c_str());
        failureLogged = true;
    } else if (!failure && failureLogged) {
        doc_.serverLog().print(TEXT_RETRY_WRITTEN, path.c_str());
        failureLogged = false;
    }
}

int ReceiptWriter::nextFileNumber(const LocalTime& t) {
    // A replayed receipt takes the number its journaled file name had.
    return replaying_ ? -1 : doc_.nextReceiptNumber(t);
}

int64_t ReceiptWriter::queuedBytesFor(const std::string& path) const {
    int64_t n = 0;
    auto add = [&](const std::deque<PendingReceipt>& queue) {
        for (const PendingReceipt& r : queue) {
            if (r.mainPath == path)
                n += static_cast<int64_t>(r.data.size());
            if (r.backupPath == path && !r.backupDone)
                n += static_cast<int64_t>(r.data.size());
        }
    };
    for (const auto& queue : unwritten_)
        add(queue);
    add(removed_);
    return n;
}

void ReceiptWriter::placeReceipt(PendingReceipt& r, const std::string& name, const LocalTime& now) {
    r.mainPath = joinPath(doc_.receiptDir(), name);
    r.mainBase = fileLength(r.mainPath) + queuedBytesFor(r.mainPath);
    if (!doc_.backupDir().empty()) {
        r.backupDir = doc_.backupDir();
        r.backupFolder = joinPath(doc_.backupDir(), dateFolderName(now));
        r.backupPath = joinPath(r.backupFolder, name);
        r.backupBase = fileLength(r.backupPath) + queuedBytesFor(r.backupPath);
    }
}

// The finished record goes to the disk before either copy is written, so a replay finds the
// receipt under the same name and never writes it twice.
void ReceiptWriter::journalFinished(PendingReceipt& r) {
    JournalRecord rec;
    rec.type = JournalRecordType::Finished;
    r.journalId = doc_.newJournalId();
    if (r.journalId == 0)
        return;
    rec.receipt = imageOf(r, 0);
    doc_.appendJournal(rec, true);
}

// A receipt finished in a replay without its file name: named as writeReceipt would have.
bool ReceiptWriter::nameUnnamed(PendingReceipt& r) {
    if (!doc_.hasReceiptNumbering() || doc_.receiptDir().empty() || r.lines.empty())
        return false;
    const LocalTime now = doc_.clock().localTime();
    const EcrLine& end = r.lines.back();
    r.fileNumber = doc_.nextReceiptNumber(now);
    const std::string name =
        end.receiptNumber != 0
            ? receiptFileName(now, r.fileNumber, end.serialNumber, end.receiptSeries,
                              end.receiptNumber)
            : singleLineFileName(now, r.fileNumber, end.serialNumber, end.receiptSeries);
    placeReceipt(r, name, now);
    r.unnamed = false;
    journalFinished(r);
    return true;
}

void ReceiptWriter::submit(int slotIndex, std::vector<EcrLine> lines, int32_t receiptNumber,
                           const std::string& name, const LocalTime& now) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return;
    PendingReceipt r;
    r.receiptNumber = receiptNumber;
    r.slotIndex = slotIndex;
    r.lines = std::move(lines);
    r.data = receiptData(r.lines);
    if (replaying_) {
        r.unnamed = true;
        unwritten_[slotIndex].push_back(std::move(r));
        return;
    }
    // "YYYYMMDD_NNNNN_...": the daily file number.
    r.fileNumber = name.size() > 14 ? std::atoi(name.substr(9, 5).c_str()) : -1;
    placeReceipt(r, name, now);
    journalFinished(r);
    unwritten_[slotIndex].push_back(std::move(r));
    writePending(slotIndex);
}

void ReceiptWriter::applyJournaled(const JournalReceipt& f) {
    PendingReceipt* target = nullptr;
    PendingReceipt fresh;
    if (f.flags & JOURNAL_QUEUED) {
        target = &fresh;
        fresh.lines = linesOf(f.data, (f.flags & JOURNAL_COUNTED) != 0);
        fresh.unnamed = (f.flags & JOURNAL_UNNAMED) != 0;
    } else {
        auto firstUnnamed = [](std::deque<PendingReceipt>& q) -> PendingReceipt* {
            for (PendingReceipt& r : q)
                if (r.unnamed)
                    return &r;
            return nullptr;
        };
        if (f.slot >= 0 && f.slot < SLOT_COUNT)
            target = firstUnnamed(unwritten_[f.slot]);
        if (!target)
            target = firstUnnamed(removed_);
        if (!target)
            return;
        target->unnamed = false;
    }
    PendingReceipt& r = *target;
    r.journalId = f.id;
    r.slotIndex = f.slot;
    r.fileNumber = f.fileNumber;
    r.receiptNumber = f.receiptNumber;
    r.mainPath = f.mainPath;
    r.backupDir = f.backupDir;
    r.backupFolder = f.backupFolder;
    r.backupPath = f.backupPath;
    r.mainBase = f.mainBase;
    r.backupBase = f.backupBase;
    r.backupDone = f.backupDone;
    r.data = f.data;
    if (target != &fresh)
        return;
    if ((f.flags & JOURNAL_REMOVED) || f.slot < 0 || f.slot >= SLOT_COUNT)
        removed_.push_back(std::move(fresh));
    else
        unwritten_[f.slot].push_back(std::move(fresh));
}

void ReceiptWriter::settleReplayed(const std::set<uint32_t>& done,
                                   const std::set<uint32_t>& countedInDoc) {
    auto settle = [&](std::deque<PendingReceipt>& queue) {
        for (auto it = queue.begin(); it != queue.end();) {
            if (it->journalId != 0 && done.count(it->journalId)) {
                if (!countedInDoc.count(it->journalId))
                    countSales(*it);
                it = queue.erase(it);
            } else {
                ++it;
            }
        }
    };
    for (auto& queue : unwritten_)
        settle(queue);
    settle(removed_);
}

std::vector<JournalReceipt> ReceiptWriter::journalImages() const {
    std::vector<JournalReceipt> images;
    auto add = [&](const std::deque<PendingReceipt>& queue, uint8_t flags) {
        for (const PendingReceipt& r : queue)
            images.push_back(
                imageOf(r, flags | JOURNAL_QUEUED | (r.unnamed ? JOURNAL_UNNAMED : 0)));
    };
    for (const auto& queue : unwritten_)
        add(queue, 0);
    add(removed_, JOURNAL_REMOVED);
    return images;
}

void ReceiptWriter::writePending(int slotIndex) {
    if (slotIndex >= 0 && slotIndex < SLOT_COUNT)
        writeQueue(unwritten_[slotIndex]);
}

void ReceiptWriter::writeRemoved() {
    writeQueue(removed_);
}

bool ReceiptWriter::writeAll() {
    writeQueue(removed_);
    bool allWritten = removed_.empty();
    for (auto& queue : unwritten_) {
        writeQueue(queue);
        allWritten = allWritten && queue.empty();
    }
    return allWritten;
}

void ReceiptWriter::releaseSlot(int slotIndex) {
    if (slotIndex < 0 || slotIndex >= SLOT_COUNT)
        return;
    std::deque<PendingReceipt>& queue = unwritten_[slotIndex];
    writeQueue(queue);
    for (PendingReceipt& r : queue) {
        for (EcrLine& line : r.lines)
            line.counted = true;
        removed_.push_back(std::move(r));
    }
    queue.clear();
}

size_t ReceiptWriter::pendingCount(int slotIndex) const {
    return slotIndex >= 0 && slotIndex < SLOT_COUNT ? unwritten_[slotIndex].size() : 0;
}

size_t ReceiptWriter::totalCount() const {
    size_t n = removed_.size();
    for (const auto& queue : unwritten_)
        n += queue.size();
    return n;
}

void ReceiptWriter::clear() {
    for (auto& queue : unwritten_)
        queue.clear();
    removed_.clear();
}

void ReceiptWriter::writeQueue(std::deque<PendingReceipt>& queue) {
    while (!queue.empty()) {
        PendingReceipt& r = queue.front();
        if (replaying_ || (r.unnamed && !nameUnnamed(r)) || !writeOne(r))
            return;
        countSales(r);
        if (r.journalId != 0) {
            JournalRecord done;
            done.type = JournalRecordType::Done;
            done.id = r.journalId;
            // Made durable with the next line's record; a replay before that finds the files
            // complete and only counts the sales again into a document saved without them.
            doc_.appendJournal(done, false);
        }
        doc_.notifyReceiptWritten(r.slotIndex, r.mainPath);
        queue.pop_front();
    }
}

// The backup copy first; its failure is logged but never holds back the main copy. False while
// the main copy is not on disk.
bool ReceiptWriter::writeOne(PendingReceipt& r) {
    if (!r.backupDir.empty() && !r.backupDone) {
        const char* failure = nullptr;
        const std::string* path = &r.backupPath;
        if (!ensureDirectory(r.backupDir)) {
            failure = TEXT_DIR_FAILED;
            path = &r.backupDir;
        } else if (!ensureDirectory(r.backupFolder)) {
            failure = TEXT_DIR_FAILED;
            path = &r.backupFolder;
        } else {
            failure = failureText(appendReceiptData(r.backupPath, r.data, true, r.backupBase));
        }
        r.backupDone = !failure;
        logOutcome(failure, *path, r.backupFailureLogged);
    }
    const char* failure = failureText(appendReceiptData(r.mainPath, r.data, true, r.mainBase));
    logOutcome(failure, r.mainPath, r.mainFailureLogged);
    return !failure;
}

void ReceiptWriter::countSales(PendingReceipt& r) {
    const int slotIndex = r.slotIndex;
    for (size_t i = 0; i < r.lines.size(); ++i) {
        EcrLine& line = r.lines[i];
        if (line.counted)
            continue;
        if (line.type == LINE_SALE) {
            line.counted = true;
            int64_t total = line.quantity;
            for (size_t j = i + 1; j < r.lines.size(); ++j) {
                EcrLine& later = r.lines[j];
                if (later.type == LINE_SALE && !later.counted && later.plu == line.plu) {
                    later.counted = true;
                    total += later.quantity;
                }
            }
            if (total > INT32_MAX)
                total = INT32_MAX;
            if (total >= 0) {
                if (doc_.addPluSale(line.plu, slotIndex, static_cast<int32_t>(total)) ==
                    SumLimit::Reached) {
                    char plu[Plu::TEXT_SIZE];
                    doc_.serverLog().print(TEXT_ARTICLE_AT_LIMIT, line.plu.text(plu),
                                           line.serialNumber.c_str());
                }
            } else {
                char plu[Plu::TEXT_SIZE];
                const int64_t units = -total;
                doc_.serverLog().print(
                    "\n%t Błąd, ilość towaru o PLU %s na paragonie %d z kasy %s jest równa "
                    "-%ld,%03ld.",
                    line.plu.text(plu), r.receiptNumber, line.serialNumber.c_str(),
                    static_cast<long>(units / 1000), static_cast<long>(units % 1000));
            }
        } else if (line.type == LINE_SALE_NO_PLU) {
            line.counted = true;
            const SumLimit limit = line.quantity > 0
                                       ? doc_.addPositiveTotal(slotIndex, line.quantity)
                                       : doc_.addNegativeTotal(slotIndex, line.quantity);
            if (limit == SumLimit::Reached)
                doc_.serverLog().print(TEXT_TOTAL_AT_LIMIT, line.serialNumber.c_str());
        }
    }
}

}  // namespace kos
