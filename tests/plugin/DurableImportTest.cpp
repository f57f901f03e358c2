// "Kasa%d.par" reaches the disk before the receipt file whose sales it took is deleted; a sync
// that fails keeps the file and leaves no line of it behind. The import runs in this process
// over a file layer that records (or fails) the calls it forwards to the real one.
#include <gtest/gtest.h>

#include "PluginHarness.h"
#include "plugin/Plugin.h"

namespace kos::test {
namespace {

using receipt::end;
using receipt::sale;

class RecordingFiles final : public tarvel::FileLayer {
public:
    std::vector<std::string> events;
    bool failSync = false;

    std::vector<std::string> list(const std::string& directory,
                                  const std::string& pattern) override {
        return real().list(directory, pattern);
    }
    std::unique_ptr<tarvel::LockedReceipt> lockReceipt(const std::string& path) override {
        return std::make_unique<Receipt>(*this, path, real().lockReceipt(path));
    }
    std::unique_ptr<tarvel::AppendFile> openForAppend(const std::string& path) override {
        auto file = real().openForAppend(path);
        return file ? std::make_unique<Append>(*this, std::move(file)) : nullptr;
    }

private:
    static tarvel::FileLayer& real() { return tarvel::systemFileLayer(); }

    struct Receipt final : tarvel::LockedReceipt {
        Receipt(RecordingFiles& owner, const std::string& path,
                std::unique_ptr<tarvel::LockedReceipt> held)
            : owner(owner), name(path.substr(path.rfind('/') + 1)), held(std::move(held)) {}
        Status status() const override { return held->status(); }
        FILE* file() const override { return held->file(); }
        bool remove() override {
            owner.events.push_back("remove " + name);
            return held->remove();
        }
        RecordingFiles& owner;
        std::string name;
        std::unique_ptr<tarvel::LockedReceipt> held;
    };

    struct Append final : tarvel::AppendFile {
        Append(RecordingFiles& owner, std::unique_ptr<tarvel::AppendFile> file)
            : owner(owner), file(std::move(file)) {}
        bool size(int64_t& bytes) override { return file->size(bytes); }
        bool write(const std::string& data) override {
            owner.events.push_back("write");
            return file->write(data);
        }
        bool truncate(int64_t bytes) override {
            owner.events.push_back("truncate " + std::to_string(bytes));
            return file->truncate(bytes);
        }
        bool sync() override {
            owner.events.push_back("sync");
            return !owner.failSync && file->sync();
        }
        bool close() override { return file->close(); }
        RecordingFiles& owner;
        std::unique_ptr<tarvel::AppendFile> file;
    };
};

RecordingFiles* files_ = nullptr;

int32_t TARVEL_CALLEE_CLEANS importOverRecordingFiles(int32_t command, intptr_t a2, intptr_t a3,
                                                      intptr_t a4, intptr_t a5, intptr_t a6,
                                                      intptr_t a7, intptr_t a8, intptr_t a9,
                                                      intptr_t a10, intptr_t a11) {
    return tarvel::importSales(*files_, command, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

TEST(DurableImport, ParameterFileIsSyncedBeforeTheReceiptFileGoes) {
    struct Case {
        bool failSync;
        std::vector<std::string> events;
        std::string parameterFile;
        std::vector<std::string> receiptsLeft;
    };
    const std::string first = "20261207_00001_12345_3_15.txt";
    const std::string second = "20261207_00002_12345_3_16.txt";
    const Case cases[] = {
        {false,
         {"write", "sync", "remove " + first, "write", "sync", "remove " + second},
         "$3\t15\t1\t0\t11\t1.000\t200\n$3\t16\t1\t0\t22\t2.000\t600\n",
         {}},
        {true,
         {"write", "sync", "truncate 0", "sync", "write", "sync", "truncate 0", "sync"},
         "",
         {first, second}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failSync ? "sync fails" : "sync works");
        hostsim::Options options;
        options.registerNumber = 7;
        PluginHarness plugin(options);
        plugin.writeReceipt(first, {sale("11", "2", "1"), end(15, 3)});
        plugin.writeReceipt(second, {sale("22", "3", "2"), end(16, 3)});
        RecordingFiles files;
        files.failSync = c.failSync;
        files_ = &files;
        ASSERT_EQ(tarvel::startPlugin(hostsim::HostSim::callback(), nullptr), 0);
        plugin.host().table(2).handler = &importOverRecordingFiles;
        plugin.options().fromDate = plugin.options().toDate = "20261207";
        plugin.options().uniqueNumber = "12345";
        plugin.options().readMode = 0;
        plugin.host().sendCommand(2, tarvel::COMMAND_READ_SALES);
        tarvel::shutDownPlugin();
        EXPECT_EQ(files.events, c.events);
        EXPECT_EQ(readFile(plugin.path("Kasa7.par")), c.parameterFile);
        EXPECT_EQ(plugin.receiptFiles(), c.receiptsLeft);
        EXPECT_TRUE(plugin.host().faults.empty());
    }
}

}  // namespace
}  // namespace kos::test
