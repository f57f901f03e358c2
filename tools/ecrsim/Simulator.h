// Cash registers on one pseudo-terminal. The PC side opens slavePath() as its serial port; the
// simulator answers on the master side as every register of the options, byte for byte as the
// registers do: wake-up, call by number, frames with CRC and ACK, release, online messages,
// commands. Runs on its own thread (start/stop) or on the caller's (run).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ReceiptMaker.h"
#include "SimRegister.h"

namespace kos::ecrsim {

// Each fault strikes every Nth time its event happens on the line (0: never).
struct Faults {
    int corruptEvery = 0;       // a frame the register sends carries a wrong CRC byte
    int loseAckEvery = 0;       // an ACK of the PC goes unseen, so the message is repeated
    int noAckEvery = 0;         // a frame of the PC is not acknowledged, so the PC repeats it
    int silentEvery = 0;        // a call is not answered
    int repeatEvery = 0;        // a call is answered with the last delivered message again
    int serialChangeEvery = 0;  // after that many completed receipts the serial number changes
};

struct SimOptions {
    std::vector<int> registers{1};  // numbers 0..99 on the line
    int receiptEveryMs = 0;         // each register rings a receipt this often (0: only on request)
    int receiptLines = 3;           // sale lines per rung receipt
    int maxReceipts = -1;           // per register; -1 without limit
    uint32_t seed = 1;
    Faults faults;
    std::vector<std::string> refusedPlus;  // 14-digit codes every register refuses in W0
    std::vector<SimArticle> articles;      // starting article table of every register
    std::string journalPath;               // completed receipts are appended here when set
    std::string linkPath;                  // symlink to the slave side when set
    // More pseudo-terminals, as more "com" ports: lines = 1 + extraLinkPaths.size() at least.
    int lines = 1;
    std::vector<std::string> extraLinkPaths;  // symlinks of lines 2, 3, ... ("" for none)
    std::map<int, int> registerLines;         // register -> line 1.. (default 1)
    // A register answers only when the PC set its speed on the line (0: at any speed).
    int speed = 0;
    std::map<int, int> registerSpeeds;  // register -> its own speed, over `speed`
    bool trace = false;                 // line events on standard error
    int ackTimeoutMs = 300;             // wait for the PC's ACK before sending again
    std::map<int, int> dripMs;          // register -> pause after each byte of its frames
};

// The default serial number of register nr: six digits.
std::string defaultSerial(int nr);

struct LineStats {
    long calls = 0;               // calls of a register of this line
    std::map<int, long> callsOf;  // the same per register
    long framesSent = 0;          // transmissions, repeats included
    long framesReceived = 0;      // frames of the PC with a good CRC
    long badFrames = 0;           // frames of the PC refused (CRC or format)
    long acksSent = 0;
    long releases = 0;
};

// Lets a test answer a frame of the PC itself: return true and set answer (nullopt: no answer).
using AnswerHook =
    std::function<bool(int ecr, const std::string& request, std::optional<std::string>& answer)>;

class SimLine;

class Simulator {
public:
    explicit Simulator(SimOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the pseudo-terminal (and the symlink). False with a reason in error.
    bool open(std::string& error);
    const std::string& slavePath() const { return lines_.front().slavePath; }
    // The slave path of line 1..lines.
    const std::string& slavePath(int line) const { return lines_.at(line - 1).slavePath; }
    int lineCount() const { return static_cast<int>(lines_.size()); }

    void start();
    void stop();
    // Serves line 1 on the calling thread (and the others on their own) until stopFlag is set.
    void run(const std::atomic<bool>& stopFlag);

    // Runs fn on register nr under the simulator's lock; false when there is no such register.
    bool withRegister(int nr, const std::function<void(SimRegister&)>& fn);
    void ringReceipt(int nr);
    void ringReceipt(int nr, const std::vector<ReceiptLine>& lines);
    void setSilent(int nr, bool silent);
    // Register nr sends its frames one byte at a time, pauseMs after each (0: at once); it
    // stops as soon as the PC releases or wakes the line.
    void setDrip(int nr, int pauseMs);
    void setAnswerHook(AnswerHook hook);

    std::vector<JournalReceipt> journal() const;
    // Waits until the journal holds at least count receipts.
    bool waitForJournal(size_t count, int timeoutMs) const;
    LineStats stats() const;

private:
    friend class SimLine;

    void recordReceipt(JournalReceipt receipt);
    void ringDue();
    void ringLocked(SimRegister& reg);
    SimRegister* findLocked(int nr);
    // The register nr when it sits on line and answers at the speed the PC set there.
    SimRegister* findCalledLocked(int nr, int line, int slaveFd);

    struct Line {
        int master = -1;
        int slave = -1;
        std::string slavePath;
        std::string linkPath;
        bool linkCreated = false;
        std::unique_ptr<SimLine> sim;
        std::thread thread;
    };
    bool openLine(Line& line, std::string& error);

    SimOptions options_;
    std::vector<Line> lines_;
    std::atomic<bool> stopFlag_{false};

    mutable std::mutex lock_;
    mutable std::condition_variable journalChanged_;
    std::map<int, SimRegister> registers_;
    std::map<int, bool> silent_;
    std::map<int, int> drip_;
    std::map<int, ReceiptMaker> makers_;
    std::map<int, int64_t> nextRingMs_;
    std::map<int, int> rung_;
    std::vector<JournalReceipt> journal_;
    AnswerHook hook_;
    LineStats stats_;
    std::map<int, int> completedSinceSerialChange_;
};

}  // namespace kos::ecrsim
