// The sales table at shop scale: 12 registers with 12,600 articles each, 151,200 entries; every
// article is sold at its own register and at the next one. Prints microseconds per sale line
// added (new and existing articles), milliseconds to write the export, to remove one register
// (its quantities cleared from every entry) and to remove the last one (every entry taken out).
//
// Each figure is given as wall time and as this thread's CPU time, which other programs on a
// busy machine do not inflate.
//
// usage: bench_sales_table [ENTRIES]   (default 151200)
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "online/SalesExport.h"
#include "online/TarvelServerDoc.h"

namespace {

using namespace kos;
using Steady = std::chrono::steady_clock;

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Wall and CPU milliseconds since construction.
struct Stopwatch {
    Steady::time_point wall = Steady::now();
    double cpu = threadCpuMs();

    double wallMs() const {
        return std::chrono::duration<double, std::milli>(Steady::now() - wall).count();
    }
    double cpuMs() const { return threadCpuMs() - cpu; }
    // "W ms (cpu C ms)" scaled by factor (1000 / n gives microseconds per item).
    void print(const char* what, double factor = 1.0, const char* unit = "ms") const {
        std::printf("%-28s %10.3f %s (cpu %.3f %s)\n", what, wallMs() * factor, unit,
                    cpuMs() * factor, unit);
    }
};

// Article codes as a shop has them: 13-digit codes spread over a few makers' ranges.
std::vector<Plu> articleCodes(int count) {
    std::vector<Plu> plus;
    uint64_t x = 88172645463325252ull;
    for (int i = 0; i < count; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        const uint64_t code = 5900000000000ull + (x % 100000ull) * 100000ull + uint64_t(i);
        Plu plu;
        plu.parse(std::to_string(code));
        plus.push_back(plu);
    }
    return plus;
}

// Article i at register (i + shift) mod 12.
void addSaleLines(TarvelServerDoc& doc, const std::vector<Plu>& plus, int shift, const char* what) {
    Stopwatch watch;
    for (size_t i = 0; i < plus.size(); ++i)
        doc.addPluSale(plus[i], int((i + size_t(shift)) % SLOT_COUNT), 1000 + shift);
    watch.print(what, 1000.0 / double(plus.size()), "us");
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int articles = argc > 1 ? std::atoi(argv[1]) : 151200;
    const std::vector<Plu> plus = articleCodes(articles);
    TarvelServerDoc doc;
    for (int slot = 0; slot < SLOT_COUNT; ++slot)
        doc.addRegister(slot + 1);

    addSaleLines(doc, plus, 0, "sale line, new entry:");
    addSaleLines(doc, plus, 1, "sale line, existing entry:");
    std::printf("entries: %zu\n", doc.salesEntryCount());

    const std::string path = "/tmp/bench-sales-" + std::to_string(::getpid()) + ".txt";
    Stopwatch exportWatch;
    if (writeSalesExport(doc, path, false) != ExportResult::Ok) {
        std::fprintf(stderr, "export to %s failed\n", path.c_str());
        return 1;
    }
    exportWatch.print("export:");
    ::unlink(path.c_str());

    Stopwatch removeWatch;
    doc.removeRegister(5);
    removeWatch.print("remove one register:");
    for (int slot = 0; slot < SLOT_COUNT - 1; ++slot)
        if (slot != 5)
            doc.removeRegister(slot);
    Stopwatch lastWatch;
    doc.removeRegister(SLOT_COUNT - 1);
    lastWatch.print("remove the last register:");
    std::printf("entries left: %zu\n", doc.salesEntryCount());
    return 0;
}
