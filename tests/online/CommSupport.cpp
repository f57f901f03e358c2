#include "CommSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>

#include "online/EcrLine.h"
#include "online/OnlineComm.h"

namespace kos::test {

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

long long thousandths(const std::string& decimal) {
    int32_t v = 0;
    EXPECT_TRUE(parseDecimal(decimal, v)) << decimal;
    return v;
}

// "-0,500" or "1.500" in thousandths.
long long exportNumber(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    return thousandths(text);
}

}  // namespace

Settings onlineSettings(const std::string& device, int speed, const std::string& receiptDir,
                        const std::string& backupDir) {
    Settings s = defaultSettings();
    s.port = 1;
    s.comDevice[0] = device;
    s.portSpeed = speed;
    s.receiptDir = receiptDir;
    s.receiptBackupDir = backupDir;
    return s;
}

void Recorder::ecrStatusChanged(int slotIndex, int connected) {
    {
        std::lock_guard<std::mutex> g(m_);
        statuses_.emplace_back(slotIndex, connected);
    }
    cv_.notify_all();
}

void Recorder::lineChanged(bool lost, const std::string& device) {
    {
        std::lock_guard<std::mutex> g(m_);
        lineEvents_.push_back((lost ? "lost " : "back ") + device);
    }
    cv_.notify_all();
}

bool Recorder::waitForLineEvents(size_t count, int timeoutMs) {
    std::unique_lock<std::mutex> g(m_);
    return cv_.wait_for(g, std::chrono::milliseconds(timeoutMs),
                        [&] { return lineEvents_.size() >= count; });
}

bool Recorder::waitForStatus(int slotIndex, int connected, size_t count, int timeoutMs) {
    std::unique_lock<std::mutex> g(m_);
    const auto status = std::make_pair(slotIndex, connected);
    return cv_.wait_for(g, std::chrono::milliseconds(timeoutMs), [&] {
        return static_cast<size_t>(std::count(statuses_.begin(), statuses_.end(), status)) >= count;
    });
}

std::vector<std::string> Recorder::lineEvents() {
    std::lock_guard<std::mutex> g(m_);
    return lineEvents_;
}

void Recorder::receiptWritten(int /*slotIndex*/, const std::string& path) {
    {
        std::lock_guard<std::mutex> g(m_);
        receipts_.push_back(path);
    }
    cv_.notify_all();
}

bool Recorder::waitForReceipts(size_t count, int timeoutMs) {
    std::unique_lock<std::mutex> g(m_);
    return cv_.wait_for(g, std::chrono::milliseconds(timeoutMs),
                        [&] { return receipts_.size() >= count; });
}

std::vector<std::pair<int, int>> Recorder::statuses() {
    std::lock_guard<std::mutex> g(m_);
    return statuses_;
}

std::vector<std::string> Recorder::receipts() {
    std::lock_guard<std::mutex> g(m_);
    return receipts_;
}

std::string receiptFileOf(const std::vector<std::string>& files, const ecrsim::JournalReceipt& r) {
    const std::string suffix =
        "_" + r.serial + "_" + std::to_string(r.series) + "_" + std::to_string(r.number) + ".txt";
    std::string found;
    int count = 0;
    for (const std::string& f : files) {
        if (f.size() > suffix.size() &&
            f.compare(f.size() - suffix.size(), suffix.size(), suffix) == 0) {
            found = f;
            ++count;
        }
    }
    EXPECT_EQ(1, count) << suffix;
    return found;
}

SalesSums journalSums(const std::vector<ecrsim::JournalReceipt>& journal) {
    SalesSums sums;
    for (const ecrsim::JournalReceipt& r : journal) {
        for (const std::string& line : r.lines) {
            // serial;seq;kind;plu;price;quantity;...
            const std::vector<std::string> f = split(line, ';');
            if (f.size() < 6 || f[2] != "0")
                continue;
            sums[r.ecr][f[3]] += thousandths(f[5]);
        }
    }
    return sums;
}

void addExportSums(const std::string& exportText, SalesSums& sums) {
    std::vector<std::string> lines = split(exportText, '\n');
    ASSERT_GE(lines.size(), 2u);
    for (std::string& l : lines) {
        ASSERT_FALSE(l.empty());
        ASSERT_EQ('\r', l.back());
        l.pop_back();
    }
    const std::vector<std::string> head = split(lines[0], ';');
    std::vector<int> numbers;
    for (size_t i = 0; i < head.size(); i += 2)
        numbers.push_back(std::stoi(head[i]));
    const std::vector<std::string> totals = split(lines[1], ';');
    ASSERT_EQ(numbers.size() * 2, totals.size());
    for (size_t c = 0; c < numbers.size(); ++c) {
        sums[numbers[c]][""] += exportNumber(totals[2 * c]);
        sums[numbers[c]][""] += exportNumber(totals[2 * c + 1]);
    }
    for (size_t i = 2; i < lines.size(); ++i) {
        const std::vector<std::string> f = split(lines[i], ';');
        ASSERT_EQ(numbers.size() + 1, f.size()) << lines[i];
        ASSERT_EQ(14u, f[0].size());
        for (size_t c = 0; c < numbers.size(); ++c)
            sums[numbers[c]][f[0]] += exportNumber(f[c + 1]);
    }
}

SalesSums withoutZeros(SalesSums sums) {
    for (auto r = sums.begin(); r != sums.end();) {
        for (auto p = r->second.begin(); p != r->second.end();)
            p = p->second == 0 ? r->second.erase(p) : std::next(p);
        r = r->second.empty() ? sums.erase(r) : std::next(r);
    }
    return sums;
}

std::string receiptText(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.is_regular_file())
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

::testing::AssertionResult OnlineRun::start(const std::string& receiptDir,
                                            const std::string& backupDir) {
    std::string error;
    if (!sim.open(error))
        return ::testing::AssertionFailure() << error;
    sim.start();
    doc.addStatusListener(&recorder);
    if (!startOnline(doc, onlineSettings(sim.slavePath(), 9600, receiptDir, backupDir), prompt))
        return ::testing::AssertionFailure() << "the start failed";
    return ::testing::AssertionSuccess();
}

}  // namespace kos::test
