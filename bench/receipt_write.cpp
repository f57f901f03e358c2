// Cost per receipt of writing its main and backup copies: flushed to the disk (fsync of each
// file, and of the folder when the file is new) against left to the page cache.
//
// usage: bench_receipt_write [DIR [RECEIPTS]]   (DIR defaults to the current directory; use a
// folder on the disk the receipts will live on, not a tmpfs)
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "online/ReceiptFile.h"

namespace {

std::string sampleReceipt() {
    std::string r;
    for (int i = 0; i < 5; ++i)
        r += "123456;" + std::to_string(i) + ";0;0000000000001" + std::to_string(i) +
             ";3.50;1.000;3.50;\r\n";
    r += "123456;5;3;0;17.50;17.50;0.00;0;42;1;0;0;0;0;0;0;0;0;0;0;\r\n";
    return r;
}

// Microseconds per receipt; each receipt is a new file in both folders, as on a register's day.
double run(const std::string& root, int receipts, bool sync) {
    const std::string main = root + (sync ? "/sync-main" : "/nosync-main");
    const std::string backup = root + (sync ? "/sync-backup" : "/nosync-backup");
    std::filesystem::create_directories(main);
    std::filesystem::create_directories(backup);
    const std::string data = sampleReceipt();
    const kos::LocalTime day{2026, 12, 6, 12, 0, 0};
    auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= receipts; ++i) {
        const std::string name = kos::receiptFileName(day, i, "123456", 1, i);
        if (kos::appendReceiptData(kos::joinPath(backup, name), data, sync) !=
                kos::AppendResult::Ok ||
            kos::appendReceiptData(kos::joinPath(main, name), data, sync) !=
                kos::AppendResult::Ok) {
            std::fprintf(stderr, "write failed in %s\n", root.c_str());
            std::exit(1);
        }
    }
    auto us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start);
    std::filesystem::remove_all(main);
    std::filesystem::remove_all(backup);
    return us.count() / receipts;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const int receipts = argc > 2 ? std::atoi(argv[2]) : 200;
    const std::string root = dir + "/bench-receipts-" + std::to_string(::getpid());
    run(root, 10, true);  // warm-up
    const double withSync = run(root, receipts, true);
    const double withoutSync = run(root, receipts, false);
    std::filesystem::remove_all(root);
    std::printf("receipts: %d, %zu bytes each, two copies, folder %s\n", receipts,
                sampleReceipt().size(), dir.c_str());
    std::printf("with fsync:    %10.1f us per receipt\n", withSync);
    std::printf("without fsync: %10.1f us per receipt\n", withoutSync);
    std::printf("fsync cost:    %10.1f us per receipt\n", withSync - withoutSync);
    return 0;
}
