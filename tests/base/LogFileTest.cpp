#include "base/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/ManualClock.h"
#include "support/TempDir.h"

namespace kos {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

const std::string STAMP = "06.12.2026 12:51:51";

// Each read of the local time is one second later, so separate reads are visible.
class TickingClock final : public Clock {
public:
    uint32_t tickCount() override { return 0; }
    void sleepMs(uint32_t) override {}
    LocalTime localTime() override { return {2026, 1, 2, 3, 4, second++}; }
    int second = 5;
};

bool dirIsEmpty(const TempDir& dir) {
    return fs::is_empty(dir.path());
}

TEST(LogFileTest, PrintWithoutPathFailsAndCreatesNothing) {
    TempDir dir;
    test::ManualClock clock;
    LogFile log(clock);
    EXPECT_EQ(log.options(), 15);
    EXPECT_EQ(log.print("%t: x %d\n", 1), -1);
    EXPECT_FALSE(log.ensureOpen());
    ASSERT_TRUE(log.open("", 3));
    EXPECT_EQ(log.print("x\n"), -1);
    EXPECT_TRUE(dirIsEmpty(dir));
}

TEST(LogFileTest, EveryPercentTIsAFreshStampAndTakesNoArgument) {
    TempDir dir;
    TickingClock clock;
    LogFile log(clock);
    ASSERT_TRUE(log.open(dir.file("a.log"), 0));
    int n = log.print("\n%t|%t|%d|%s", 42, "z");
    std::string expected = "\n02.01.2026 03:04:05|02.01.2026 03:04:06|42|z";
    EXPECT_EQ(n, static_cast<int>(expected.size()));
    log.closeFile();
    EXPECT_EQ(readFile(dir.file("a.log")), expected);
}

TEST(LogFileTest, OpenWritesCreationAndObjectLinesByOptions) {
    struct Case {
        int options;
        bool exists;
        std::string expected;  // nullopt-like: "<none>" when the file must not exist
    };
    const std::string creation = STAMP + ": Utworzenie pliku logu: %P\n\n";
    const std::string object = STAMP + ": Utworzenie obiektu LogFile\n";
    const std::vector<Case> cases = {
        {3, false, creation}, {1, false, "<none>"},          {2, true, "old"},
        {4, false, object},   {6, false, creation + object}, {14, true, "old" + object},
        {0, false, "<none>"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::ManualClock clock;
        std::string path = dir.file("TarvelServer.log");
        if (c.exists)
            writeFile(path, "old");
        {
            LogFile log(clock);
            ASSERT_TRUE(log.open(path, c.options)) << c.options;
            std::string expected = c.expected;
            if (auto at = expected.find("%P"); at != std::string::npos)
                expected.replace(at, 2, path);
            if (expected == "<none>")
                EXPECT_FALSE(fs::exists(path)) << c.options;
            else
                EXPECT_EQ(readFile(path), expected) << c.options;
            log.open(dir.file("other.log"), 0);  // leave the destruction line out of it
        }
    }
}

TEST(LogFileTest, CloseEachWriteLeavesNothingOpenBetweenMessages) {
    TempDir dir;
    test::ManualClock clock;
    std::string path = dir.file("kos.log");
    for (int options : {1, 14}) {
        LogFile log(clock);
        ASSERT_TRUE(
            log.open(path, options & ~LogFile::LOG_NOTE_OPEN & ~LogFile::LOG_HEADER_ON_CREATE));
        EXPECT_EQ(log.print("one\n"), 4);
        fs::remove(path);
        EXPECT_EQ(log.print("two\n"), 4);
        // Closed after each message: the second one made a new file. Held open: it went to
        // the removed file.
        if (options == 1)
            EXPECT_EQ(readFile(path), "two\n");
        else
            EXPECT_FALSE(fs::exists(path));
        log.open(dir.file("other.log"), 0);
        fs::remove(path);
    }
}

TEST(LogFileTest, DestructionNotesOnlyWithOptionEightButAlwaysCreatesTheFile) {
    TempDir dir;
    test::ManualClock clock;
    std::string path = dir.file("x.log");
    {
        LogFile log(clock);
        ASSERT_TRUE(log.open(path, 3));
        fs::remove(path);
    }
    EXPECT_EQ(readFile(path), "");
    {
        LogFile log(clock);
        ASSERT_TRUE(log.open(path, 8));
        log.print("m\n");
    }
    EXPECT_EQ(readFile(path), "m\n" + STAMP + ": Usuniecie obiektu LogFile\n");
}

TEST(LogFileTest, BackupNameReplacesTheThirdExtensionCharacterOrAppendsATilde) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/r/TarvelServer.log", "/r/TarvelServer.lo~"},
        {"kos.log", "kos.lo~"},
        {"a.lg", "a.lg~"},
        {"a.", "a.~"},
        {"noext", "noext~"},
        {"dir.d/noext", "dir.d/noext~"},
        {"page.html", "page.ht~l"},
        {"x.tar.gz", "x.tar.gz~"},
    };
    for (const auto& [path, backup] : cases)
        EXPECT_EQ(LogFile::backupPath(path), backup) << path;
}

TEST(LogFileTest, RotatesOnlyPastTheThresholdReplacingTheOldBackup) {
    TempDir dir;
    test::ManualClock clock;
    std::string path = dir.file("TarvelServer.log");
    std::string backup = dir.file("TarvelServer.lo~");
    const std::string msg = "0123456789\n";
    const auto limit = static_cast<uintmax_t>(LogFile::ROTATE_SIZE);

    // Exactly at the threshold: no rotation.
    writeFile(path, "");
    fs::resize_file(path, limit - msg.size());
    {
        LogFile log(clock);
        ASSERT_TRUE(log.open(path, 3));
        EXPECT_EQ(log.print("%s", msg.c_str()), static_cast<int>(msg.size()));
        log.closeFile();
        EXPECT_EQ(fs::file_size(path), limit);
        EXPECT_FALSE(fs::exists(backup));

        // One byte more: the file becomes the backup, an older backup is dropped, the new
        // file starts with the creation line.
        writeFile(backup, "older backup");
        EXPECT_EQ(log.print("x"), 1);
        EXPECT_EQ(fs::file_size(backup), limit + 1);
        EXPECT_EQ(readFile(path), STAMP + ": Utworzenie pliku logu: " + path + "\n\n");
        EXPECT_EQ(log.print("next\n"), 5);
        log.closeFile();
        EXPECT_EQ(readFile(path), STAMP + ": Utworzenie pliku logu: " + path + "\n\nnext\n");
        log.open(dir.file("other.log"), 0);
    }

    // Without the creation option the new file appears only with the next message.
    fs::resize_file(path, limit + 5);
    LogFile log(clock);
    ASSERT_TRUE(log.open(path, 1));
    EXPECT_EQ(log.print("y"), 1);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(fs::file_size(backup), limit + 6);
}

TEST(LogFileTest, OverlongPathOrExpandedFormatIsRefusedWithoutHarm) {
    TempDir dir;
    test::ManualClock clock;
    LogFile log(clock);
    std::string good = dir.file("ok.log");
    ASSERT_TRUE(log.open(good, 0));

    std::string base = dir.path() + "/";
    std::string fits = base + std::string(LogFile::MAX_PATH_LEN - base.size(), 'p');
    std::string tooLong = fits + "q";
    EXPECT_FALSE(log.open(tooLong, 1));
    EXPECT_EQ(log.path(), good);
    EXPECT_EQ(log.options(), 0);
    EXPECT_TRUE(log.open(fits, 1));
    EXPECT_TRUE(log.open(good, 0));

    std::string longest(LogFile::MAX_FORMAT_LEN, 'f');
    EXPECT_EQ(log.print(longest.c_str()), static_cast<int>(longest.size()));
    EXPECT_EQ(log.print((longest + "g").c_str()), -1);
    // The stamp counts: 19 characters in place of two.
    std::string stamped(LogFile::MAX_FORMAT_LEN - 18, 's');
    EXPECT_EQ(log.print((stamped + "%t").c_str()), -1);
    EXPECT_EQ(log.print((stamped.substr(1) + "%t").c_str()), static_cast<int>(longest.size()));
    log.closeFile();
    EXPECT_EQ(readFile(good), longest + stamped.substr(1) + STAMP);
}

TEST(LogFileTest, ConcurrentWritersKeepEveryLineWhole) {
    TempDir dir;
    LogFile log;
    std::string path = dir.file("t.log");
    ASSERT_TRUE(log.open(path, 0));
    auto writer = [&](char tag) {
        for (int i = 0; i < 2000; ++i)
            log.print("%c%04d%s\n", tag, i, std::string(40, tag).c_str());
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    log.closeFile();
    std::string all = readFile(path);
    size_t lines = 0;
    for (size_t pos = 0; pos < all.size(); ++lines) {
        size_t end = all.find('\n', pos);
        ASSERT_NE(end, std::string::npos);
        std::string line = all.substr(pos, end - pos);
        ASSERT_EQ(line.size(), 45u);
        EXPECT_EQ(line.substr(5), std::string(40, line[0]));
        pos = end + 1;
    }
    EXPECT_EQ(lines, 4000u);
}

}  // namespace
}  // namespace kos
