#include "online/SalesExport.h"

#include <cstdio>
#include <functional>
#include <vector>

#include "base/Money.h"

namespace kos {

namespace {

constexpr const char* TEXT_EXPORT_OPEN_FAILED = "Błąd podczas otwierania pliku.";
constexpr const char* TEXT_EXPORT_WRITE_FAILED = "Błąd podczas zapisu do pliku.";
constexpr const char* EXPORT_LINE_END = "\r\n";

// Appends "%ld.%03ld;": the quantity form of the article lines, with the sign also for an
// integer part of 0. Written by hand: an export of a shop's table formats about two million
// of them.
void appendPointQuantity(std::string& out, int32_t thousandths) {
    int64_t v = thousandths;
    if (v < 0) {
        out += '-';
        v = -v;
    }
    char digits[16];
    int n = 0;
    int64_t units = v / 1000;
    do {
        digits[n++] = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units != 0);
    while (n > 0)
        out += digits[--n];
    const int fraction = static_cast<int>(v % 1000);
    out += '.';
    out += static_cast<char>('0' + fraction / 100);
    out += static_cast<char>('0' + fraction / 10 % 10);
    out += static_cast<char>('0' + fraction % 10);
    out += ';';
}

class ExportFile {
public:
    explicit ExportFile(const std::string& path) : f_(std::fopen(path.c_str(), "wb")) {}
    ~ExportFile() { close(); }
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    bool isOpen() const { return f_ != nullptr; }
    bool write(const std::string& s) { return std::fwrite(s.data(), 1, s.size(), f_) == s.size(); }
    bool close() {
        if (!f_)
            return true;
        const bool ok = std::fclose(f_) == 0;
        f_ = nullptr;
        return ok;
    }

private:
    std::FILE* f_;
};

}  // namespace

ExportResult writeSalesExport(TarvelServerDoc& doc, const std::string& path, bool reset) {
    ExportFile file(path);
    if (!file.isOpen())
        return ExportResult::OpenFailed;

    std::vector<int> active;
    std::string line;
    doc.forEachUsedSlot([&](int i, const EcrOnLineComm& slot) {
        active.push_back(i);
        line += std::to_string(slot.logicalNumber) + ";" + slot.serialNumber + ";";
    });
    if (!file.write(line + EXPORT_LINE_END))
        return ExportResult::WriteFailed;

    line.clear();
    bool totalsReset = false;
    doc.withRegistersAndSales([&](SalesRecords& sales) {
        for (int i : active) {
            line += formatQuantity(sales.positiveTotal[i]) + ";" +
                    formatQuantity(sales.negativeTotal[i]) + ";";
            if (reset) {
                totalsReset =
                    totalsReset || sales.positiveTotal[i] != 0 || sales.negativeTotal[i] != 0;
                sales.positiveTotal[i] = 0;
                sales.negativeTotal[i] = 0;
            }
        }
    });
    // Zeroed totals must reach the saved document, or a reopened one would export them again.
    if (totalsReset)
        doc.setModified();
    if (!file.write(line + EXPORT_LINE_END))
        return ExportResult::WriteFailed;

    // The articles in table order, each fetched (and with reset taken out) in one hold of
    // salesLock, so the worker can add sales between two lines.
    const bool any = doc.withSales([](SalesRecords& sales) { return !sales.table.empty(); });
    if (reset && any)
        doc.setModified();
    Plu plu;
    PluSale sale;
    const std::function<bool(SalesTable::Entry&)> fetch = [&](const SalesTable::Entry& e) {
        plu = e.plu;
        sale = e.sale;
        return !reset;
    };
    SalesTable::Walk walk;
    while (doc.withSales([&](SalesRecords& sales) { return sales.table.walkStep(walk, fetch); })) {
        char digits[Plu::TEXT_SIZE];
        line = plu.text(digits);
        line += ";";
        for (int i : active)
            appendPointQuantity(line, sale.quantity[i]);
        line += EXPORT_LINE_END;
        if (!file.write(line))
            return ExportResult::WriteFailed;
    }
    return file.close() ? ExportResult::Ok : ExportResult::WriteFailed;
}

bool exportSales(TarvelServerDoc& doc, const std::string& path, bool reset, Prompt& prompt) {
    switch (writeSalesExport(doc, path, reset)) {
        case ExportResult::Ok:
            return true;
        case ExportResult::OpenFailed:
            prompt.message(TEXT_EXPORT_OPEN_FAILED, PromptIcon::Stop);
            return false;
        case ExportResult::WriteFailed:
            prompt.message(TEXT_EXPORT_WRITE_FAILED, PromptIcon::Stop);
            return false;
    }
    return false;
}

}  // namespace kos
