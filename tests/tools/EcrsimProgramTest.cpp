// The ecrsim program as a separate process: path on standard output, symlink, journal file,
// clean end on SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "SimPoller.h"
#include "link/TX310Comm.h"
#include "support/TempDir.h"

namespace kos {
namespace {

TEST(EcrsimProgramTest, ServesRegistersThroughItsLinkAndWritesTheJournal) {
    test::TempDir dir;
    const std::string link = dir.file("ttyECR");
    const std::string journal = dir.file("journal.txt");
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        const std::string program = std::string(KOS_BINARY_DIR) + "/tools/ecrsim/ecrsim";
        execl(program.c_str(), "ecrsim", "--registers", "3,42", "--link", link.c_str(), "--journal",
              journal.c_str(), "--receipt-every", "50", "--receipts", "1",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    FILE* stdoutOfSim = fdopen(out[0], "r");
    char line[256] = {};
    ASSERT_NE(fgets(line, sizeof line, stdoutOfSim), nullptr);
    std::string path(line);
    while (!path.empty() && path.back() == '\n')
        path.pop_back();
    EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    const std::string saved = comDevice(3);
    setComDevice(3, link);
    {
        TX310Comm comm;
        std::string reply;
        EXPECT_EQ(comm.initInLineMode(3, 9600, 3000, 42, reply), TX310_OK);
        EXPECT_EQ(reply, "200042");
    }
    setComDevice(3, saved);

    TX310Comm comm;
    ASSERT_TRUE(comm.openDevice(link, 9600));
    ASSERT_TRUE(comm.setReadTimeouts(100, 2));
    comm.setBeginFrameTimeout(1000);
    test::ReceiptCollector pc;
    int complete = 0;
    for (int i = 0; i < 200 && complete < 2; ++i)
        for (int nr : {3, 42}) {
            test::PolledMessage m = test::pollOnce(comm, nr);
            if (m.code == TX310_OK && pc.take(nr, m.text))
                ++complete;
        }
    comm.close();
    ASSERT_EQ(complete, 2);

    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    fclose(stdoutOfSim);

    // The journal holds both receipts line for line as the PC assembled them.
    const std::string written = test::readFile(journal);
    for (int nr : {3, 42})
        for (const std::string& l : pc.receipts[nr][0])
            EXPECT_NE(written.find(l + "\n"), std::string::npos) << l;
    EXPECT_NE(written.find("# 03 200003 1 1\n"), std::string::npos);
    EXPECT_NE(written.find("# 42 200042 1 1\n"), std::string::npos);
    EXPECT_EQ(access(link.c_str(), F_OK), -1);  // the symlink went with the program
}

}  // namespace
}  // namespace kos
