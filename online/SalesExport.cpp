#include "online/SalesExport.h"

#include <cstdio>
#include <vector>

#include "base/Money.h"

namespace kos {

namespace {

constexpr const char* TEXT_EXPORT_OPEN_FAILED = "Błąd podczas otwierania pliku.";
constexpr const char* TEXT_EXPORT_WRITE_FAILED = "Błąd podczas zapisu do pliku.";
constexpr const char* EXPORT_LINE_END = "\r\n";

// "%ld.%03ld": the quantity form of the article lines.
std::string pointQuantity(int32_t thousandths) {
    std::string s = formatQuantity(thousandths);
    s[s.find(',')] = '.';
    return s;
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

    // The articles of this moment, in table order; each is then fetched (and with reset taken
    // out) in one hold of salesLock, so the worker can add sales between two lines.
    std::vector<Plu> plus;
    doc.withSales([&](SalesRecords& sales) {
        sales.table.forEach([&](const SalesTable::Entry& e) { plus.push_back(e.plu); });
    });
    if (reset && !plus.empty())
        doc.setModified();
    for (const Plu& plu : plus) {
        PluSale sale;
        const bool found = doc.withSales([&](SalesRecords& sales) {
            const PluSale* entry = sales.table.find(plu);
            if (!entry)
                return false;
            sale = *entry;
            if (reset)
                sales.table.remove(plu);
            return true;
        });
        if (!found)
            continue;  // its register was removed meanwhile
        char digits[Plu::TEXT_SIZE];
        line = plu.text(digits);
        line += ";";
        for (int i : active)
            line += pointQuantity(sale.quantity[i]) + ";";
        if (!file.write(line + EXPORT_LINE_END))
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
