// An append that fails half-way takes back what it wrote and leaves the file unlocked, so the
// receipt can be written again later without doubled lines and the plug-in is never kept waiting.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "online/ReceiptFile.h"
#include "support/TempDir.h"

namespace kos::test {
namespace {

// Appends with the file size limited to limit bytes; writes beyond it fail with EFBIG.
AppendResult appendWithSizeLimit(const std::string& path, const std::string& data, rlim_t limit) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = limit;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    AppendResult result = appendReceiptData(path, data);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}

bool unlocked(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

TEST(ReceiptAppend, WriteThatFailsHalfwayLeavesTheFileAsItWas) {
    TempDir tmp;
    const std::string path = tmp.file("20261206_00001_S_1_5.txt");
    ASSERT_EQ(AppendResult::Ok, appendReceiptData(path, "one\r\n"));
    EXPECT_EQ(AppendResult::WriteFailed, appendWithSizeLimit(path, "two\r\nthree\r\n", 8));
    EXPECT_EQ("one\r\n", readFile(path));
    EXPECT_TRUE(unlocked(path));
    ASSERT_EQ(AppendResult::Ok, appendReceiptData(path, "two\r\nthree\r\n"));
    EXPECT_EQ("one\r\ntwo\r\nthree\r\n", readFile(path));

    const std::string fresh = tmp.file("20261206_00002_S_1_6.txt");
    EXPECT_EQ(AppendResult::WriteFailed, appendWithSizeLimit(fresh, "two\r\nthree\r\n", 3));
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

}  // namespace
}  // namespace kos::test
