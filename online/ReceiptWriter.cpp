// The main and backup copies of finished receipts, their retries and the sales they add.
#include "online/ReceiptWriter.h"

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
    return doc_.nextReceiptNumber(t);
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
    r.mainPath = joinPath(doc_.receiptDir(), name);
    if (!doc_.backupDir().empty()) {
        r.backupDir = doc_.backupDir();
        r.backupFolder = joinPath(doc_.backupDir(), dateFolderName(now));
        r.backupPath = joinPath(r.backupFolder, name);
    }
    unwritten_[slotIndex].push_back(std::move(r));
    writePending(slotIndex);
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
        if (!writeOne(r))
            return;
        countSales(r);
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
            failure = failureText(appendReceiptData(r.backupPath, r.data));
        }
        r.backupDone = !failure;
        logOutcome(failure, *path, r.backupFailureLogged);
    }
    const char* failure = failureText(appendReceiptData(r.mainPath, r.data));
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
