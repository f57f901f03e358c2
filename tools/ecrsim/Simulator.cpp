#include "Simulator.h"

#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
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
    for (Line& line : lines_) {
        if (line.linkCreated)
            ::unlink(line.linkPath.c_str());
        if (line.slave >= 0)
            ::close(line.slave);
        if (line.master >= 0)
            ::close(line.master);
    }
}

bool Simulator::openLine(Line& line, std::string& error) {
    char name[256] = {};
    if (::openpty(&line.master, &line.slave, name, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    // The slave stays open here so the line survives the PC closing and reopening its port,
    // and it must be raw from the start: no echo, no translation.
    termios tio{};
    if (::tcgetattr(line.slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(line.slave, TCSANOW, &tio);
    }
    line.slavePath = name;
    if (!line.linkPath.empty()) {
        // Only a stale link of an earlier run is replaced, never a file.
        struct stat st {};
        if (::lstat(line.linkPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink(line.linkPath.c_str());
        if (::symlink(line.slavePath.c_str(), line.linkPath.c_str()) != 0) {
            error = "symlink " + line.linkPath + ": " + std::strerror(errno);
            return false;
        }
        line.linkCreated = true;
    }
    const int number = static_cast<int>(&line - lines_.data()) + 1;
    line.sim = std::make_unique<SimLine>(*this, line.master, line.slave, number);
    return true;
}

bool Simulator::open(std::string& error) {
    int count = std::max<int>(options_.lines, 1 + static_cast<int>(options_.extraLinkPaths.size()));
    for (const auto& entry : options_.registerLines)
        count = std::max(count, entry.second);
    lines_.resize(static_cast<size_t>(count));
    lines_[0].linkPath = options_.linkPath;
    for (size_t i = 0; i < options_.extraLinkPaths.size(); ++i)
        lines_[i + 1].linkPath = options_.extraLinkPaths[i];
    for (Line& line : lines_)
        if (!openLine(line, error))
            return false;
    return true;
}

void Simulator::start() {
    if (lines_.empty() || lines_.front().thread.joinable())
        return;
    stopFlag_ = false;
    for (Line& line : lines_)
        line.thread = std::thread([this, &line] { line.sim->serve(stopFlag_); });
}

void Simulator::stop() {
    stopFlag_ = true;
    for (Line& line : lines_)
        if (line.thread.joinable())
            line.thread.join();
}

void Simulator::run(const std::atomic<bool>& stopFlag) {
    if (lines_.empty())
        return;
    stopFlag_ = false;
    for (size_t i = 1; i < lines_.size(); ++i) {
        Line& line = lines_[i];
        line.thread = std::thread([&line, &stopFlag] { line.sim->serve(stopFlag); });
    }
    lines_.front().sim->serve(stopFlag);
    for (size_t i = 1; i < lines_.size(); ++i)
        if (lines_[i].thread.joinable())
            lines_[i].thread.join();
}

SimRegister* Simulator::findCalledLocked(int nr, int line, int slaveFd) {
    SimRegister* reg = findLocked(nr);
    if (!reg)
        return nullptr;
    const auto onLine = options_.registerLines.find(nr);
    if ((onLine == options_.registerLines.end() ? 1 : onLine->second) != line)
        return nullptr;
    const auto own = options_.registerSpeeds.find(nr);
    const int speed = own == options_.registerSpeeds.end() ? options_.speed : own->second;
    if (speed == 0)
        return reg;
    // The speed the PC side set on its end of the pseudo-terminal.
    termios tio{};
    if (::tcgetattr(slaveFd, &tio) != 0)
        return nullptr;
    static const std::map<speed_t, int> SPEEDS = {
        {B1200, 1200},   {B2400, 2400},   {B4800, 4800},   {B9600, 9600},
        {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    const auto set = SPEEDS.find(::cfgetospeed(&tio));
    return set != SPEEDS.end() && set->second == speed ? reg : nullptr;
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
