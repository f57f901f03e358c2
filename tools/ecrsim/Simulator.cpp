#include "Simulator.h"

#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SimLine.h"

namespace kos::ecrsim {

namespace {

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string defaultSerial(int nr) {
    char text[16];
    std::snprintf(text, sizeof text, "%06d", 200000 + nr);
    return text;
}

Simulator::Simulator(SimOptions options) : options_(std::move(options)), drip_(options_.dripMs) {
    const int64_t start = nowMs();
    const int count = static_cast<int>(options_.registers.size());
    for (int i = 0; i < count; ++i) {
        const int nr = options_.registers[i];
        SimRegister reg(nr, defaultSerial(nr));
        for (const SimArticle& a : options_.articles)
            reg.articles[a.plu] = a;
        reg.refusedPlus = options_.refusedPlus;
        registers_.emplace(nr, std::move(reg));
        makers_.emplace(nr, ReceiptMaker(options_.seed * 7919u + static_cast<uint32_t>(nr)));
        // Registers ring in turn rather than all at once.
        nextRingMs_[nr] = start + static_cast<int64_t>(options_.receiptEveryMs) * (i + 1) / count;
    }
}

Simulator::~Simulator() {
    stop();
    if (linkCreated_)
        ::unlink(options_.linkPath.c_str());
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool Simulator::open(std::string& error) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    // The slave stays open here so the line survives the PC closing and reopening its port,
    // and it must be raw from the start: no echo, no translation.
    termios tio{};
    if (::tcgetattr(slave_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    slavePath_ = name;
    if (!options_.linkPath.empty()) {
        // Only a stale link of an earlier run is replaced, never a file.
        struct stat st {};
        if (::lstat(options_.linkPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink(options_.linkPath.c_str());
        if (::symlink(slavePath_.c_str(), options_.linkPath.c_str()) != 0) {
            error = "symlink " + options_.linkPath + ": " + std::strerror(errno);
            return false;
        }
        linkCreated_ = true;
    }
    line_ = std::make_unique<SimLine>(*this, master_);
    return true;
}

void Simulator::start() {
    if (thread_.joinable() || !line_)
        return;
    stopFlag_ = false;
    thread_ = std::thread([this] { line_->serve(stopFlag_); });
}

void Simulator::stop() {
    stopFlag_ = true;
    if (thread_.joinable())
        thread_.join();
}

void Simulator::run(const std::atomic<bool>& stopFlag) {
    if (line_)
        line_->serve(stopFlag);
}

SimRegister* Simulator::findLocked(int nr) {
    auto it = registers_.find(nr);
    return it == registers_.end() ? nullptr : &it->second;
}

bool Simulator::withRegister(int nr, const std::function<void(SimRegister&)>& fn) {
    std::lock_guard<std::mutex> guard(lock_);
    SimRegister* reg = findLocked(nr);
    if (!reg)
        return false;
    fn(*reg);
    return true;
}

void Simulator::ringLocked(SimRegister& reg) {
    const int nr = reg.number();
    std::vector<ReceiptLine> lines = makers_.at(nr).make(
        reg.articles, reg.receiptSeries(), reg.nextReceiptNumber(), options_.receiptLines);
    reg.takeReceiptNumber();
    reg.ringReceipt(lines);
    ++rung_[nr];
}

void Simulator::ringReceipt(int nr) {
    std::lock_guard<std::mutex> guard(lock_);
    if (SimRegister* reg = findLocked(nr))
        ringLocked(*reg);
}

void Simulator::ringReceipt(int nr, const std::vector<ReceiptLine>& lines) {
    std::lock_guard<std::mutex> guard(lock_);
    if (SimRegister* reg = findLocked(nr))
        reg->ringReceipt(lines);
}

void Simulator::ringDue() {
    if (options_.receiptEveryMs <= 0)
        return;
    const int64_t now = nowMs();
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& [nr, reg] : registers_) {
        if (now < nextRingMs_[nr] || reg.waitingLines() > 0)
            continue;
        if (options_.maxReceipts >= 0 && rung_[nr] >= options_.maxReceipts)
            continue;
        ringLocked(reg);
        nextRingMs_[nr] = now + options_.receiptEveryMs;
    }
}

void Simulator::setSilent(int nr, bool silent) {
    std::lock_guard<std::mutex> guard(lock_);
    silent_[nr] = silent;
}

void Simulator::setDrip(int nr, int pauseMs) {
    std::lock_guard<std::mutex> guard(lock_);
    drip_[nr] = pauseMs;
}

void Simulator::setAnswerHook(AnswerHook hook) {
    std::lock_guard<std::mutex> guard(lock_);
    hook_ = std::move(hook);
}

void Simulator::recordReceipt(JournalReceipt receipt) {
    if (!options_.journalPath.empty()) {
        if (FILE* f = std::fopen(options_.journalPath.c_str(), "a")) {
            std::fprintf(f, "# %02d %s %ld %ld\n", receipt.ecr, receipt.serial.c_str(),
                         receipt.series, receipt.number);
            for (const std::string& line : receipt.lines)
                std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
    }
    const int every = options_.faults.serialChangeEvery;
    SimRegister* reg = findLocked(receipt.ecr);
    journal_.push_back(std::move(receipt));
    if (every > 0 && reg && ++completedSinceSerialChange_[reg->number()] % every == 0) {
        // A register that got a new fiscal module: the next serial number, still six digits.
        long serial = std::atol(reg->serial().c_str());
        char text[16];
        std::snprintf(text, sizeof text, "%06ld", (serial + 1) % 1000000);
        reg->setSerial(text);
    }
    journalChanged_.notify_all();
}

std::vector<JournalReceipt> Simulator::journal() const {
    std::lock_guard<std::mutex> guard(lock_);
    return journal_;
}

bool Simulator::waitForJournal(size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> guard(lock_);
    return journalChanged_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                    [&] { return journal_.size() >= count; });
}

LineStats Simulator::stats() const {
    std::lock_guard<std::mutex> guard(lock_);
    return stats_;
}

}  // namespace kos::ecrsim
