// Imports 10,000 receipt files of one day through hostsim's host and prints files per second,
// once by sales counters (parameter file only) and once by receipts (document lines too).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "HostSim.h"
#include "Library.h"

namespace {

constexpr int FILES = 10000;

void writeReceipts(const std::string& dir) {
    for (int i = 1; i <= FILES; ++i) {
        char name[96];
        std::snprintf(name, sizeof(name), "%s/20261207_%05d_12345_1_%d.txt", dir.c_str(), i, i);
        std::ofstream out(name, std::ios::binary);
        out << "12345;1;0;" << 100 + i % 50 << ";1.50;2;\r\n"
            << "12345;2;0;00456;2.00;1;\r\n"
            << "12345;3;0;789;0.99;3.5;\r\n"
            << "12345;4;2;0;0;-10;\r\n"
            << "12345;5;3;1;0;0;0;0;" << i << ";1;0;0;0;0;0;0;0;0;0;0;\r\n";
    }
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("tarvel-bench-" + std::to_string(getpid()));
    fs::create_directories(root / "TarvelSerwer");
    setenv("HOME", root.c_str(), 1);
    fs::current_path(root);

    hostsim::Options options;
    options.registerNumber = 7;
    options.fromDate = options.toDate = "20261207";
    options.uniqueNumber = "ABCDE12345";
    options.iniPath = (root / "host.ini").string();
    hostsim::HostSim host(options);
    hostsim::Library library(TARVEL_LIBRARY);
    if (!library.loaded() || library.dllMain(hostsim::HostSim::callback(), nullptr) != 0) {
        std::fprintf(stderr, "the plug-in did not start: %s\n", library.error().c_str());
        return 1;
    }
    int status = 0;
    for (int mode : {0, 1}) {
        writeReceipts((root / "TarvelSerwer").string());
        host.options.readMode = mode;
        auto start = std::chrono::steady_clock::now();
        host.sendCommand(2, 0x3E00);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bool allRead = fs::is_empty(root / "TarvelSerwer");
        std::printf("read mode %d: %d files in %.3f s, %.0f files/s%s\n", mode, FILES, seconds,
                    FILES / seconds, allRead ? "" : " (files left behind!)");
        if (!allRead || !host.faults.empty())
            status = 1;
    }
    std::printf("document lines: %zu, parameter file: %ju bytes\n", host.lines.size(),
                static_cast<uintmax_t>(fs::file_size(root / "Kasa7.par")));
    library.dllMain(nullptr, nullptr);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(root);
    return status;
}
