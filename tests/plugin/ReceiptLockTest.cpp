// The online server may append a repeated receipt to a file the plug-in is importing. Both sides
// lock the file, so the append lands either before the read or in a new file, never in a file
// that is about to be deleted unread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "PluginHarness.h"
#include "online/ReceiptFile.h"

namespace kos::test {
namespace {

using receipt::DAY;
using receipt::end;
using receipt::NAME;
using receipt::sale;
using receipt::TWO_SALES;
using receipt::TWO_SALES_LINES;

const std::string REPEATED = sale("33", "1", "4") + "\r\n" + end(15, 3) + "\r\n";
constexpr auto PATIENCE = std::chrono::seconds(30);

// True when /proc/locks shows someone waiting for a flock on this inode.
bool someoneWaitsFor(ino_t inode) {
    std::ifstream locks("/proc/locks");
    const std::string suffix = ":" + std::to_string(inode);
    for (std::string line; std::getline(locks, line);) {
        std::istringstream words(line);
        std::string number, arrow, kind, mode, access, pid, device;
        words >> number >> arrow >> kind >> mode >> access >> pid >> device;
        if (arrow == "->" && kind == "FLOCK" && device.size() > suffix.size() &&
            device.compare(device.size() - suffix.size(), suffix.size(), suffix) == 0)
            return true;
    }
    return false;
}

// Waits until someone blocks on the inode's lock (true) or finished() holds or time runs out.
bool waitForWaiter(ino_t inode, const std::function<bool()>& finished) {
    auto deadline = std::chrono::steady_clock::now() + PATIENCE;
    while (std::chrono::steady_clock::now() < deadline) {
        if (someoneWaitsFor(inode))
            return true;
        if (finished())
            return false;
        std::this_thread::yield();
    }
    return false;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

bool locksVisible() {
    return static_cast<bool>(std::ifstream("/proc/locks"));
}

// The server opens the file while the plug-in holds it; after the deletion its append must go to
// a new file under the same name.
TEST(ReceiptLock, AppendWaitingForAnImportGoesToANewFile) {
    if (!locksVisible())
        GTEST_SKIP() << "no /proc/locks to see a blocked lock";
    PluginHarness plugin(registerSeven());
    plugin.writeReceipt(NAME, TWO_SALES);
    const std::string path = plugin.receiptDir() + "/" + NAME;
    std::thread writer;
    std::atomic<bool> written{false};
    std::atomic<int> result{-1};
    bool blocked = false;
    plugin.host().onHeaderUnlocked = [&] {
        if (writer.joinable())
            return;
        ino_t inode = inodeOf(path);
        writer = std::thread([&] {
            result = static_cast<int>(appendReceiptData(path, REPEATED));
            written = true;
        });
        blocked = waitForWaiter(inode, [&] { return written.load(); });
    };
    plugin.import(DAY, DAY, "12345", 0);
    ASSERT_TRUE(writer.joinable());
    writer.join();
    EXPECT_TRUE(blocked) << "the append did not wait for the import";
    EXPECT_EQ(result, static_cast<int>(AppendResult::Ok));
    EXPECT_EQ(plugin.parameterFile(), TWO_SALES_LINES);
    ASSERT_TRUE(plugin.receiptExists(NAME));
    EXPECT_EQ(readFile(path), REPEATED);

    plugin.host().onHeaderUnlocked = nullptr;
    plugin.import(DAY, DAY, "12345", 0);
    EXPECT_EQ(plugin.parameterFile(), TWO_SALES_LINES + "$3\t15\t1\t0\t33\t4.000\t400\n");
    EXPECT_FALSE(plugin.receiptExists(NAME));
    EXPECT_TRUE(plugin.host().faults.empty());
}

// The plug-in waits while the file is locked by someone else, then reads what is there.
TEST(ReceiptLock, ImportWaitsForTheLockHolder) {
    if (!locksVisible())
        GTEST_SKIP() << "no /proc/locks to see a blocked lock";
    // What the lock holder does: append, or (as another import) delete the file, after which
    // the server may write the name again.
    enum class Holder { Appends, Deletes, DeletesAndServerWritesAgain };
    struct Case {
        const char* what;
        Holder holder;
        std::string expected;
        std::string report;
    };
    const std::string heading = "\nWczytanie danych z dnia:07.12.2026\n";
    const Case cases[] = {
        {"append in progress", Holder::Appends, TWO_SALES_LINES + "$3\t15\t3\t0\t33\t4.000\t400\n",
         heading + "Zakres wczytanych paragonów:15-15\n"},
        {"deleted", Holder::Deletes, "", heading},
        {"deleted and written again", Holder::DeletesAndServerWritesAgain,
         "$3\t15\t1\t0\t33\t4.000\t400\n", heading + "Zakres wczytanych paragonów:15-15\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PluginHarness one(registerSeven());
        one.writeReceipt(NAME, TWO_SALES);
        const std::string file = one.receiptDir() + "/" + NAME;
        int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);

        std::atomic<bool> imported{false};
        std::thread import([&] {
            one.import(DAY, DAY, "12345", 0);
            imported = true;
        });
        bool blocked = waitForWaiter(inodeOf(file), [&] { return imported.load(); });
        if (c.holder == Holder::Appends) {
            EXPECT_EQ(::write(fd, REPEATED.data(), REPEATED.size()),
                      static_cast<ssize_t>(REPEATED.size()));
        } else {
            EXPECT_EQ(::unlink(file.c_str()), 0);
        }
        if (c.holder == Holder::DeletesAndServerWritesAgain) {
            EXPECT_EQ(appendReceiptData(file, REPEATED), AppendResult::Ok);
        }
        ::close(fd);
        import.join();
        EXPECT_TRUE(blocked) << "the import did not wait for the lock";
        EXPECT_EQ(one.parameterFile(), c.expected);
        EXPECT_EQ(one.report(), c.report);
        EXPECT_FALSE(one.receiptExists(NAME));
        EXPECT_TRUE(one.host().faults.empty());
    }
}

}  // namespace
}  // namespace kos::test
