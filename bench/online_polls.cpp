// Online polling speed against the simulator on an unpaced pseudo-terminal: polls per second
// and CPU seconds per 1,000 polls of this process (the simulator runs as its own process, so
// its work is not counted). Each poll should cost the 20 ms pause after the ACK and little
// else, that is 45 polls per second or more at 9600 bit/s.
//
// With the journal each acknowledged line waits for one fdatasync before its ACK; the slow-disk
// scenarios delay every sync by a fixed time.
//
// usage: bench_online_polls [SECONDS]   (per scenario, default 5)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "online/OnlineComm.h"

extern char** environ;

namespace {

using namespace kos;

class QuietPrompt final : public Prompt {
public:
    void message(const std::string& text, PromptIcon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool ask(const std::string&) override { return true; }
};

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct Sim {
    pid_t pid = -1;
    std::string pty;
    std::string statsPath;
};

// Starts ecrsim with args; its first output line is the pseudo-terminal's path.
bool startSim(const std::vector<std::string>& args, const std::string& statsPath, Sim& sim) {
    int out[2];
    if (pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, statsPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    std::string program = ECRSIM_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&sim.pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return false;
    }
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        sim.pty += c;
    close(out[0]);
    sim.statsPath = statsPath;
    return !sim.pty.empty();
}

// Stops ecrsim and reads the calls it answered from its closing line.
long stopSim(Sim& sim, long& receipts) {
    kill(sim.pid, SIGINT);
    waitpid(sim.pid, nullptr, 0);
    long calls = -1;
    receipts = 0;
    if (FILE* f = std::fopen(sim.statsPath.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            std::sscanf(line, "ecrsim: %ld receipts completed, %ld calls", &receipts, &calls);
        std::fclose(f);
    }
    return calls;
}

// Journal: -1 none; otherwise one beside a document in dir, each sync delayed by that many ms.
void scenario(const char* name, const std::vector<std::string>& simArgs, int seconds,
              const std::string& dir, int journalSyncDelayMs = -1) {
    Sim sim;
    if (!startSim(simArgs, dir + "/ecrsim.err", sim)) {
        std::fprintf(stderr, "cannot start %s\n", ECRSIM_PATH);
        std::exit(1);
    }
    TarvelServerDoc doc;
    for (int nr : {1, 2, 3})
        doc.addRegister(nr);
    Settings settings = defaultSettings();
    settings.port = 1;
    settings.comDevice[0] = sim.pty;
    settings.portSpeed = 9600;
    settings.receiptDir = dir;
    settings.receiptBackupDir.clear();
    QuietPrompt prompt;
    if (journalSyncDelayMs >= 0) {
        const std::string dsr = dir + "/bench.dsr";
        std::remove(dsr.c_str());
        std::remove((dsr + ".journal").c_str());
        if (doc.writeFile(dsr) != DsrStatus::Ok || !doc.hasJournal())
            std::exit(1);
        if (journalSyncDelayMs > 0)
            doc.journal().setSync([journalSyncDelayMs](int fd) {
                std::this_thread::sleep_for(std::chrono::milliseconds(journalSyncDelayMs));
                return ::fdatasync(fd);
            });
    }

    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    if (!startOnline(doc, settings, prompt))
        std::exit(1);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    stopOnline(doc, prompt);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = cpuSeconds() - cpu0;
    long receipts = 0;
    const long polls = stopSim(sim, receipts);
    std::printf(
        "%-40s %6ld polls in %5.2f s: %6.1f polls/s, %5.1f receipts/s, %.3f CPU s per 1000 "
        "polls\n",
        name, polls, wall, polls / wall, receipts / wall, polls > 0 ? cpu * 1000.0 / polls : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    char pattern[] = "/tmp/kos-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::string dir = pattern;
    std::printf("9600 bit/s timing, 3 registers, %d s per scenario\n", seconds);
    scenario("idle registers (idle frames)", {"--registers", "1,2,3"}, seconds, dir);
    scenario("registers ringing receipts",
             {"--registers", "1,2,3", "--receipt-every", "5", "--receipt-lines", "3"}, seconds,
             dir);
    const std::vector<std::string> ringing = {"--registers", "1,2,3",           "--receipt-every",
                                              "5",           "--receipt-lines", "3"};
    scenario("ringing, journal (fdatasync per line)", ringing, seconds, dir, 0);
    // A slow disk: every fdatasync takes that much longer.
    for (int ms : {20, 100, 250, 400}) {
        char name[64];
        std::snprintf(name, sizeof name, "ringing, journal, sync + %d ms", ms);
        scenario(name, ringing, seconds, dir, ms);
    }
    std::string cleanup = "rm -rf '" + dir + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
