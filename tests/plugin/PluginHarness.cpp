#include "PluginHarness.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "plugin/Mazovia.h"

namespace kos::test {
namespace {

// Each harness loads its own copy, so the plug-in's process-wide state starts afresh.
std::string freshLibraryCopy(const TempDir& dir) {
    static std::atomic<int> copies{0};
    std::string copy = dir.file("libtarvel-" + std::to_string(++copies) + ".so");
    std::filesystem::copy_file(KOS_BINARY_DIR "/plugin/libtarvel.so", copy);
    return copy;
}

}  // namespace

PluginHarness::PluginHarness(hostsim::Options options) {
    const char* home = std::getenv("HOME");
    oldHome_ = home ? home : "";
    oldDirectory_ = std::filesystem::current_path().string();
    setenv("HOME", dir_.path().c_str(), 1);
    std::filesystem::current_path(dir_.path());
    std::filesystem::create_directory(receiptDir());
    options.iniPath = dir_.file("host.ini");
    host_ = std::make_unique<hostsim::HostSim>(options);
    library_ = std::make_unique<hostsim::Library>(freshLibraryCopy(dir_));
}

PluginHarness::~PluginHarness() {
    if (started_)
        shutDown();
    library_.reset();
    host_.reset();
    std::filesystem::current_path(oldDirectory_);
    setenv("HOME", oldHome_.c_str(), 1);
}

int32_t PluginHarness::start(char* buffer) {
    started_ = true;
    return library_->dllMain(hostsim::HostSim::callback(), buffer);
}

void PluginHarness::shutDown() {
    library_->dllMain(nullptr, nullptr);
    started_ = false;
}

int32_t PluginHarness::import(const std::string& from, const std::string& to,
                              const std::string& unique, int mode) {
    if (!started_ && start() != 0)
        return -1;
    options().fromDate = from;
    options().toDate = to;
    options().uniqueNumber = unique;
    options().readMode = mode;
    return host_->sendCommand(2, tarvel::COMMAND_READ_SALES);
}

void PluginHarness::writeReceipt(const std::string& name, const std::vector<std::string>& lines) {
    std::string content;
    for (const std::string& line : lines)
        content += line + "\r\n";
    writeFile(receiptDir() + "/" + name, content);
}

bool PluginHarness::receiptExists(const std::string& name) const {
    return std::filesystem::exists(std::filesystem::symlink_status(receiptDir() + "/" + name));
}

std::vector<std::string> PluginHarness::receiptFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(receiptDir()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string PluginHarness::parameterFile() const {
    return readFile(dir_.file("Kasa" + std::to_string(host_->options.registerNumber) + ".par"));
}

std::string PluginHarness::report() const {
    return tarvel::fromMazovia(host_->shownReport);
}

std::string toMazovia(const std::string& utf8) {
    return tarvel::toMazovia(utf8);
}

std::ostream& operator<<(std::ostream& out, const DocumentLine& line) {
    return out << '"' << line.code << "\" " << line.quantity << ' ' << line.value;
}

std::vector<DocumentLine> documentLines(const hostsim::HostSim& host) {
    std::vector<DocumentLine> lines;
    for (const auto& bytes : host.lines) {
        EXPECT_EQ(bytes.size(), 113u);
        DocumentLine line;
        line.code = std::string(reinterpret_cast<const char*>(bytes.data() + 40),
                                strnlen(reinterpret_cast<const char*>(bytes.data() + 40), 16));
        std::memcpy(&line.quantity, bytes.data() + 56, 4);
        std::memcpy(&line.value, bytes.data() + 60, 4);
        for (size_t i = 0; i < bytes.size(); ++i)
            if ((i < 40 || i >= 64) && bytes[i] != 0)
                ADD_FAILURE() << "byte " << i << " of a document line is not zero";
        lines.push_back(line);
    }
    return lines;
}

}  // namespace kos::test
