// ecrsim: cash registers on a pseudo-terminal, for tests and demonstrations.
#include <csignal>
#include <cstdio>

#include "CommandLine.h"
#include "Simulator.h"
#include "base/Version.h"

namespace {

std::atomic<bool> stopRequested{false};

void onSignal(int) {
    stopRequested = true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kos::ecrsim;
    if (kos::askedForVersion(argc, argv)) {
        std::printf("ecrsim %s\n", kos::VERSION_TEXT);
        return 0;
    }
    SimOptions options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) {
        std::fputs(usage(), error == "help" ? stdout : stderr);
        if (error == "help")
            return 0;
        std::fprintf(stderr, "ecrsim: %s\n", error.c_str());
        return 2;
    }
    Simulator sim(options);
    if (!sim.open(error)) {
        std::fprintf(stderr, "ecrsim: %s\n", error.c_str());
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::printf("%s\n", sim.slavePath().c_str());
    std::fflush(stdout);
    sim.run(stopRequested);
    const LineStats s = sim.stats();
    std::fprintf(stderr, "ecrsim: %zu receipts completed, %ld calls, %ld frames sent\n",
                 sim.journal().size(), s.calls, s.framesSent);
    return 0;
}
