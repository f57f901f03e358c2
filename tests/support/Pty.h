// A pseudo-terminal pair for tests: the code under test opens slavePath() as its serial device,
// the test plays the far end on the master side.
#pragma once

#include <cstddef>
#include <string>

namespace kos::test {

class Pty {
public:
    // Both sides raw. The helper keeps its own slave descriptor open (unless released) so the
    // master never sees a hang-up between two opens of the device under test.
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    // Closes the helper's slave descriptor.
    void releaseSlave();
    // Closes the master side: the device under test sees the line vanish.
    void closeMaster();

    // Writes all bytes to the master; false on error.
    bool write(const std::string& bytes);
    // Reads from the master until count bytes came or timeoutMs passed; returns what came.
    std::string read(size_t count, int timeoutMs);
    // Everything that arrives until the line has been quiet for quietMs.
    std::string drain(int quietMs);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace kos::test
