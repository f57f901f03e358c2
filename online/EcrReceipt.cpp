// Writing a finished receipt: file names, the main and backup copies, and the sales it adds.
#include <cstdlib>

#include "online/EcrOnLineComm.h"
#include "online/ReceiptFile.h"
#include "online/TarvelServerDoc.h"

namespace kos {

namespace {

constexpr int32_t CLOSE_KIND_ONE_NUMBER = 6;

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

// A failure goes to the log the first time only; the success that follows a logged failure is
// logged too, so the log shows when the receipt finally reached its file.
void logOutcome(TarvelServerDoc& doc, const char* failure, const std::string& path,
                bool& failureLogged) {
    if (failure && !failureLogged) {
        doc.serverLog.print(failure, path.c_str());
        failureLogged = true;
    } else if (!failure && failureLogged) {
        doc.serverLog.print(TEXT_RETRY_WRITTEN, path.c_str());
        failureLogged = false;
    }
}

}  // namespace

void EcrOnLineComm::writeReceipt(int slotIndex, TarvelServerDoc& doc) {
    if (lines.empty())
        return;
    const EcrLine& end = lines.back();
    const LocalTime now = doc.clock().localTime();

    PendingReceipt r;
    r.receiptNumber = end.receiptNumber;
    r.slotIndex = slotIndex;
    std::string name;
    if (end.receiptNumber != 0) {
        if (lastReceiptFileNumber == -1 || lastReceiptSeries != end.receiptSeries ||
            lastReceiptNumber != end.receiptNumber) {
            lastReceiptFileNumber = doc.nextReceiptNumber(now);
            lastReceiptSeries = end.receiptSeries;
            lastReceiptNumber = end.receiptNumber;
        }
        name = receiptFileName(now, lastReceiptFileNumber, serialNumber, end.receiptSeries,
                               end.receiptNumber);
        r.lines = std::move(lines);
    } else if (end.closeKind == CLOSE_KIND_ONE_NUMBER) {
        forgetLastReceipt();
        name = singleLineFileName(now, doc.nextReceiptNumber(now), serialNumber, end.receiptSeries);
        // Only the end line goes into this file; it adds no sales.
        r.lines.push_back(end);
        r.lines.back().counted = true;
    } else {
        discardReceipt(doc);
        return;
    }
    lines.clear();

    r.data = receiptData(r.lines);
    r.mainPath = joinPath(doc.receiptDir, name);
    if (!doc.backupDir.empty()) {
        r.backupDir = doc.backupDir;
        r.backupFolder = joinPath(doc.backupDir, dateFolderName(now));
        r.backupPath = joinPath(r.backupFolder, name);
    }
    unwritten.push_back(std::move(r));
    writePendingReceipts(slotIndex, doc);
}

void EcrOnLineComm::writePendingReceipts(int /*slotIndex*/, TarvelServerDoc& doc) {
    writeReceiptQueue(unwritten, doc);
}

void EcrOnLineComm::writeReceiptQueue(std::deque<PendingReceipt>& queue, TarvelServerDoc& doc) {
    while (!queue.empty()) {
        PendingReceipt& r = queue.front();
        if (!writeOne(r, doc))
            return;
        countSales(r, doc);
        doc.notifyReceiptWritten(r.slotIndex, r.mainPath);
        queue.pop_front();
    }
}

// The backup copy first; its failure is logged but never holds back the main copy. False while
// the main copy is not on disk.
bool EcrOnLineComm::writeOne(PendingReceipt& r, TarvelServerDoc& doc) {
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
        logOutcome(doc, failure, *path, r.backupFailureLogged);
    }
    const char* failure = failureText(appendReceiptData(r.mainPath, r.data));
    logOutcome(doc, failure, r.mainPath, r.mainFailureLogged);
    return !failure;
}

void EcrOnLineComm::countSales(PendingReceipt& r, TarvelServerDoc& doc) {
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
                if (doc.addPluSale(line.plu, slotIndex, static_cast<int32_t>(total)) ==
                    SumLimit::Reached) {
                    char plu[Plu::TEXT_SIZE];
                    doc.serverLog.print(TEXT_ARTICLE_AT_LIMIT, line.plu.text(plu),
                                        line.serialNumber.c_str());
                }
            } else {
                char plu[Plu::TEXT_SIZE];
                const int64_t units = -total;
                doc.serverLog.print(
                    "\n%t Błąd, ilość towaru o PLU %s na paragonie %d z kasy %s jest równa "
                    "-%ld,%03ld.",
                    line.plu.text(plu), r.receiptNumber, line.serialNumber.c_str(),
                    static_cast<long>(units / 1000), static_cast<long>(units % 1000));
            }
        } else if (line.type == LINE_SALE_NO_PLU) {
            line.counted = true;
            const SumLimit limit = line.quantity > 0
                                       ? doc.addPositiveTotal(slotIndex, line.quantity)
                                       : doc.addNegativeTotal(slotIndex, line.quantity);
            if (limit == SumLimit::Reached)
                doc.serverLog.print(TEXT_TOTAL_AT_LIMIT, line.serialNumber.c_str());
        }
    }
}

}  // namespace kos
