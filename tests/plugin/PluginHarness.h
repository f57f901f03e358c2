// A fresh copy of libtarvel.so driven by an in-process hostsim, with HOME and the current
// folder in a temporary folder (receipt files, "Kasa%d.par", "temp.txt", the INI file).
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "HostSim.h"
#include "Library.h"
#include "support/TempDir.h"

namespace kos::test {

class PluginHarness {
public:
    explicit PluginHarness(hostsim::Options options = {});
    ~PluginHarness();

    hostsim::HostSim& host() { return *host_; }
    hostsim::Options& options() { return host_->options; }
    int32_t start(char* buffer = nullptr);
    void shutDown();
    // Starts when needed and sends 0x3E00 with the given dialog answers.
    int32_t import(const std::string& from, const std::string& to, const std::string& unique,
                   int mode);

    std::string receiptDir() const { return dir_.path() + "/TarvelSerwer"; }
    // Writes a receipt file as the online server does: each line ended with CR LF.
    void writeReceipt(const std::string& name, const std::vector<std::string>& lines);
    bool receiptExists(const std::string& name) const;
    std::vector<std::string> receiptFiles() const;
    std::string parameterFile() const;
    std::string report() const;  // temp.txt as shown, in UTF-8
    std::string path(const std::string& name) const { return dir_.file(name); }

private:
    TempDir dir_;
    std::string oldHome_;
    std::string oldDirectory_;
    std::unique_ptr<hostsim::HostSim> host_;
    std::unique_ptr<hostsim::Library> library_;
    bool started_ = false;
};

std::string toMazovia(const std::string& utf8);

// A host that imports for register 7.
inline hostsim::Options registerSeven() {
    hostsim::Options options;
    options.registerNumber = 7;
    return options;
}

// The three fields the plug-in fills in a sales line of the document.
struct DocumentLine {
    std::string code;
    int32_t quantity;
    int32_t value;
    bool operator==(const DocumentLine& o) const {
        return code == o.code && quantity == o.quantity && value == o.value;
    }
};

std::ostream& operator<<(std::ostream& out, const DocumentLine& line);

// The document's lines; every byte outside the three fields must be zero.
std::vector<DocumentLine> documentLines(const hostsim::HostSim& host);

}  // namespace kos::test

namespace kos::test::receipt {

// Register messages as they stand in a receipt file (serial 12345).
inline std::string sale(const std::string& code, const std::string& price,
                        const std::string& quantity) {
    return "12345;1;0;" + code + ";" + price + ";" + quantity + ";";
}
inline std::string percentage(int scope, const std::string& percent) {
    return "12345;2;2;" + std::to_string(scope) + ";0;" + percent + ";";
}
inline std::string end(int number, int series) {
    return "12345;3;3;1;0;0;0;0;" + std::to_string(number) + ";" + std::to_string(series) +
           ";0;0;0;0;0;0;0;0;0;0;";
}

// The receipt the import and lock tests share: day 2026-12-07, receipt 15 of series 3 with two
// sales, and the lines they give in the parameter file.
inline const char* const DAY = "20261207";
inline const char* const NAME = "20261207_00001_12345_3_15.txt";
inline const std::vector<std::string> TWO_SALES = {sale("11", "2", "1"), sale("22", "3", "2"),
                                                   end(15, 3)};
inline const std::string TWO_SALES_LINES =
    "$3\t15\t1\t0\t11\t1.000\t200\n$3\t15\t2\t0\t22\t2.000\t600\n";

}  // namespace kos::test::receipt
