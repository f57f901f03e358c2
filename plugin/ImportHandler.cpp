// The handler of table 2: command 0x3E00 imports the receipt files of a range of days.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/DocumentLines.h"
#include "plugin/FileLayer.h"
#include "plugin/HostCalls.h"
#include "plugin/ImportDialog.h"
#include "plugin/Mazovia.h"
#include "plugin/ParameterFile.h"
#include "plugin/Plugin.h"
#include "plugin/ReceiptName.h"
#include "plugin/ReceiptReader.h"
#include "plugin/Texts.h"

namespace tarvel {
namespace {

constexpr const char* REPORT_FILE = "temp.txt";
constexpr int RECEIPT_NUMBERS = 10000;

// A report line (Mazovia) from a text with one or two "%s".
std::string format(const char* utf8Format, const std::string& first,
                   const std::string& second = std::string()) {
    std::string mazovia = toMazovia(utf8Format);
    int length = std::snprintf(nullptr, 0, mazovia.c_str(), first.c_str(), second.c_str());
    std::string out(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), mazovia.c_str(), first.c_str(), second.c_str());
    out.pop_back();
    return out;
}

void report(const std::string& mazoviaLine) {
    host::addToViewFileEnter(REPORT_FILE, mazoviaLine.c_str());
}

class DayImport {
public:
    DayImport(FileLayer& files, const DocumentArguments& doc, int registerNumber, int readMode)
        : files_(files),
          doc_(doc),
          parameterFile_("Kasa" + std::to_string(registerNumber) + ".par"),
          readMode_(readMode),
          imported_(RECEIPT_NUMBERS, false) {}

    void importDay(const char* fromDate, const char* uniqueNumber) {
        char date[16] = {};
        host::sd2ld(date, fromDate);
        date[sizeof(date) - 1] = '\0';
        int day = std::atoi(std::string(date, 2).c_str());
        int month = std::atoi(std::string(date + 3, 2).c_str());
        int year = std::atoi(std::string(date + 6, 4).c_str());
        const char* registerPart = std::strlen(uniqueNumber) > 5 ? uniqueNumber + 5 : "";
        char pattern[64];
        std::snprintf(pattern, sizeof(pattern), "%04d%02d%02d_?????_%s*.txt", year, month, day,
                      registerPart);

        std::string directory = receiptDirectory();
        for (const std::string& name : files_.list(directory, pattern))
            importFile(directory + name, name);
        writeDayReport(date);
    }

private:
    // A file leaves the directory only when everything it holds has reached the host.
    void importFile(const std::string& path, const std::string& name) {
        host::lockHeader(doc_.document);
        host::lineCount(doc_.document, doc_.lineCounter);
        host::readSum(doc_.sums, doc_.document);
        int32_t before = *doc_.lineCounter;

        // Held until the file is deleted, so the server cannot append a receipt unread.
        std::unique_ptr<LockedReceipt> locked = files_.lockReceipt(path);
        if (locked->status() != LockedReceipt::Status::Open) {
            host::unlockHeader(doc_.document);
            // A file another import took meanwhile is no problem of this one.
            if (locked->status() == LockedReceipt::Status::CannotOpen)
                problems_.push_back(format(text::FILE_NOT_OPENED, name));
            return;
        }
        ReceiptFile file = readReceiptFile(locked->file(), name);
        bool done = false;
        if (file.status == ReceiptFileStatus::ReadError) {
            problems_.push_back(format(text::FILE_NOT_READ, name));
        } else if (file.status == ReceiptFileStatus::TooLong) {
            problems_.push_back(format(text::FILE_TOO_LONG, name));
        } else if (file.status == ReceiptFileStatus::Incomplete) {
            problems_.push_back(format(text::FILE_INCOMPLETE, name));
        } else if (!appendToParameterFile(files_, parameterFile_, file.parameterLines)) {
            problems_.push_back(format(text::SALES_NOT_WRITTEN, name, parameterFile_));
        } else {
            if (readMode_ == 1)
                appendDocumentLines(file.slots, doc_);
            done = true;
        }

        host::extendIndexes(doc_.indexes, before, *doc_.lineCounter);
        host::trimLines(doc_.document, *doc_.lineCounter, doc_.sums);
        host::saveSum(doc_.sums, doc_.document);
        host::unlockHeader(doc_.document);
        if (!done)
            return;

        long number = receiptNumbers(name).receipt;
        if (number >= 0 && number < RECEIPT_NUMBERS)
            imported_[static_cast<size_t>(number)] = true;
        if (!locked->remove())
            problems_.push_back(format(text::FILE_NOT_DELETED, name));
    }

    void writeDayReport(const char* date) {
        report(format(text::DAY_HEADING, date));
        std::string rangeFormat = toMazovia(text::RECEIPT_RANGE);
        for (int first = 1; first < RECEIPT_NUMBERS; ++first) {
            if (!imported_[static_cast<size_t>(first)])
                continue;
            int last = first;
            while (last + 1 < RECEIPT_NUMBERS && imported_[static_cast<size_t>(last + 1)])
                ++last;
            char line[96];
            std::snprintf(line, sizeof(line), rangeFormat.c_str(), first, last);
            report(line);
            first = last;
        }
        for (const std::string& problem : problems_)
            report(problem);
        problems_.clear();
        std::fill(imported_.begin(), imported_.end(), false);
    }

    FileLayer& files_;
    DocumentArguments doc_;
    std::string parameterFile_;
    int readMode_;
    std::vector<bool> imported_;
    std::vector<std::string> problems_;
};

}  // namespace

int32_t TARVEL_CALLEE_CLEANS importHandler(int32_t command, intptr_t a2, intptr_t a3, intptr_t a4,
                                           intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8,
                                           intptr_t a9, intptr_t a10, intptr_t a11) {
    return importSales(systemFileLayer(), command, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

int32_t importSales(FileLayer& files, int32_t command, intptr_t a2, intptr_t a3, intptr_t a4,
                    intptr_t a5, intptr_t a6, intptr_t a7, intptr_t a8, intptr_t a9, intptr_t a10,
                    intptr_t a11) {
    TableHandler saved = replacedTable(2).saved;
    if (command != COMMAND_READ_SALES)
        return saved ? saved(command, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11) : 0;

    std::remove(REPORT_FILE);
    ImportRequest request{};
    int registerNumber = static_cast<int16_t>(host::getKasaNumer(a2) & 0xFFFF);
    char section[32];
    std::snprintf(section, sizeof(section), "Tabela%d", registerNumber);
    host::iniFileRead(section, "NrUnikat", "%11s,%d", request.uniqueNumber, &request.readMode);
    if ((host::execLMemDialog(importDialogTemplate(), &request) & 0xFFFF) == DIALOG_CANCELLED)
        return 0;
    request.fromDate[sizeof(request.fromDate) - 1] = '\0';
    request.toDate[sizeof(request.toDate) - 1] = '\0';
    request.uniqueNumber[sizeof(request.uniqueNumber) - 1] = '\0';
    host::iniFileWrite(section, "NrUnikat", "%s,%d", request.uniqueNumber, request.readMode);

    DocumentArguments doc{reinterpret_cast<int32_t*>(a3), a6, a8, a9};
    DayImport import(files, doc, registerNumber, request.readMode);
    while (std::strncmp(request.toDate, request.fromDate, sizeof(request.fromDate)) >= 0) {
        import.importDay(request.fromDate, request.uniqueNumber);
        char previous[sizeof(request.fromDate)];
        std::memcpy(previous, request.fromDate, sizeof(previous));
        host::newDate(request.fromDate);
        request.fromDate[sizeof(request.fromDate) - 1] = '\0';
        // A date that does not move on would repeat the same day for ever.
        if (std::strncmp(request.fromDate, previous, sizeof(previous)) <= 0)
            break;
    }
    host::viewFile(REPORT_FILE);

    if (request.readMode != 0)
        command = COMMAND_READ_RECEIPTS;
    return saved ? saved(command, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11) : 0;
}

}  // namespace tarvel
