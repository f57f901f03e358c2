// Sending articles to ecrsim on an unpaced pseudo-terminal: the wall time of the send job
// against the sum of the fixed waits the protocol itself takes (the pause before every frame,
// after every ACK, ...). The job should add nothing of its own: the ratio should stay at 1.1
// or below.
//
// usage: bench_transfer_send [ARTICLES]   (default 1000)
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Simulator.h"
#include "articles/TransferJobs.h"
#include "link/SerialPort.h"

namespace {

using namespace kos;

// The real clock, summing what the link sleeps.
class CountingClock final : public Clock {
public:
    uint32_t tickCount() override { return systemClock().tickCount(); }
    void sleepMs(uint32_t ms) override {
        slept += ms;
        systemClock().sleepMs(ms);
    }
    LocalTime localTime() override { return systemClock().localTime(); }
    std::atomic<uint64_t> slept{0};
};

class Quiet final : public JobListener {
public:
    void progress(int, const std::string&) override {}
    void finished(const JobResult&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    ecrsim::SimOptions options;
    ecrsim::Simulator sim(options);
    std::string error;
    if (!sim.open(error)) {
        std::fprintf(stderr, "ecrsim: %s\n", error.c_str());
        return 1;
    }
    sim.start();
    setComDevice(1, sim.slavePath());

    Articles articles;
    for (int i = 1; i <= count; ++i) {
        auto a = std::make_unique<Article>();
        a->plu.parse(std::to_string(1000 + i));
        a->name = "ART " + std::to_string(i);
        a->price = 100 + i;
        a->vat = 0;
        articles.add(a);
    }
    Settings settings = defaultSettings();
    settings.port = 1;
    settings.portSpeed = 9600;
    settings.ecrNr = 1;
    CountingClock clock;
    Quiet quiet;
    const auto start = std::chrono::steady_clock::now();
    const JobResult result = runJob(quiet, [&](JobControl& control) {
        return sendArticlesJob(control, settings, articles, clock);
    });
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double waits = static_cast<double>(clock.slept.load()) / 1000.0;
    std::printf("articles sent %d, refused %d (%s)\n", result.count, result.errors,
                result.success ? "ok" : "failed");
    std::printf("wall time %.2f s, protocol waits %.2f s, ratio %.3f\n", wall, waits,
                waits > 0 ? wall / waits : 0.0);
    sim.stop();
    return result.success && result.count == count ? 0 : 1;
}
