// The register search: the order of numbers, speeds and ports, the status texts, abort, the
// request checks and "Ustaw"; the probe order once against ecrsim on three pseudo-terminals.
#include <gtest/gtest.h>

#include <vector>

#include "Simulator.h"
#include "articles/RegisterSearch.h"
#include "link/SerialPort.h"
#include "support/MemorySettingsStore.h"

namespace kos::test {
namespace {

struct Probe {
    int port, baud, nr;
    bool operator==(const Probe& o) const { return port == o.port && baud == o.baud && nr == o.nr; }
};

// Records every probe; answers (or asks inner) for the register at answer.
class RecordingProbe final : public RegisterProbe {
public:
    bool probe(int port, int baud, int nr) override {
        probes.push_back({port, baud, nr});
        return inner ? inner->probe(port, baud, nr) : (answer && *answer == Probe{port, baud, nr});
    }
    std::vector<Probe> probes;
    std::optional<Probe> answer;
    RegisterProbe* inner = nullptr;
};

class Recorder final : public JobListener {
public:
    void progress(int position, const std::string& text) override {
        positions.push_back(position);
        texts.push_back(text);
        if (abortAfter && static_cast<int>(texts.size()) == abortAfter)
            control->requestAbort();
    }
    void finished(const JobResult&) override { ++ends; }
    std::vector<int> positions;
    std::vector<std::string> texts;
    int ends = 0;
    int abortAfter = 0;
    JobControl* control = nullptr;
};

JobResult search(const FindEcrRequest& request, RecordingProbe& probe, Recorder& recorder) {
    return runJob(recorder, [&](JobControl& control) {
        recorder.control = &control;
        return findRegisterJob(control, request, probe);
    });
}

TEST(RegisterSearch, NumberOrderOfBothDirections) {
    struct Case {
        bool ascending;
        int start;
        int first, second, last;
    };
    const Case cases[] = {
        {true, 0, 0, 1, 99}, {false, 0, 99, 98, 0}, {false, 50, 49, 48, 50}, {true, 99, 99, 0, 98}};
    for (const Case& c : cases) {
        FindEcrRequest request;
        request.ascending = c.ascending;
        request.start = c.start;
        RecordingProbe probe;
        Recorder recorder;
        const JobResult result = search(request, probe, recorder);
        EXPECT_TRUE(result.success);
        EXPECT_EQ(NOTHING_FOUND, result.count);
        EXPECT_FALSE(foundRegister(result));
        ASSERT_EQ(300u, probe.probes.size());
        EXPECT_EQ(c.first, probe.probes[0].nr);
        EXPECT_EQ(c.second, probe.probes[3].nr);
        EXPECT_EQ(c.last, probe.probes[299].nr);
        EXPECT_EQ(1, recorder.ends);
        EXPECT_EQ(996, recorder.positions.back());
    }
}

TEST(RegisterSearch, AbortBeforeASpeedStepFailsAfterThatStepsProbes) {
    FindEcrRequest request;
    request.ports = {true, true, false, true};
    RecordingProbe probe;
    Recorder recorder;
    recorder.abortAfter = 2;
    const JobResult result = search(request, probe, recorder);
    EXPECT_FALSE(result.success);
    EXPECT_EQ(6u, probe.probes.size());
    EXPECT_EQ((std::vector<std::string>{"Sprawdzam kasę nr 1 przy prędkości 2400 bps.",
                                        "Sprawdzam kasę nr 1 przy prędkości 4800 bps."}),
              recorder.texts);
    EXPECT_EQ((std::vector<int>{0, 3}), recorder.positions);
}

TEST(RegisterSearch, RequestChecksAndApplyingTheFind) {
    FindEcrRequest request;
    for (int start : {100, -1}) {
        request.start = start;
        EXPECT_STREQ("Niepoprawna wartość początkowego numeru logicznego kasy.",
                     findRequestError(request));
    }
    request.start = 0;
    EXPECT_EQ(nullptr, findRequestError(request));
    request.ports = {false, false, false, false};
    EXPECT_STREQ("Należy wybrać co najmniej jeden port.", findRequestError(request));

    MemorySettingsStore store;
    Settings settings = defaultSettings();
    EXPECT_FALSE(applyFoundRegister({7, 4, 3}, settings, store));
    ASSERT_TRUE(applyFoundRegister({7, 3, 3}, settings, store));
    Settings stored = defaultSettings();
    loadSettings(store, stored);
    EXPECT_EQ(9600, stored.portSpeed);
    EXPECT_EQ(7, stored.ecrNr);
    EXPECT_EQ(3, stored.port);
}

// Found in the third pass after the probes of 5 and 6 at every speed on both ports and of 7 at
// 2400 and 4800 on both and at 9600 on COM1.
TEST(RegisterSearch, FindsNumber7OnCom3At9600InTheProbeOrder) {
    ecrsim::SimOptions o;
    o.registers = {7};
    o.lines = 3;
    o.registerLines[7] = 3;
    o.registerSpeeds[7] = 9600;
    ecrsim::Simulator sim(o);
    std::string error;
    ASSERT_TRUE(sim.open(error)) << error;
    sim.start();
    const std::string saved1 = comDevice(1), saved3 = comDevice(3);
    setComDevice(1, sim.slavePath(1));
    setComDevice(3, sim.slavePath(3));

    FindEcrRequest request;
    request.start = 5;
    request.ports = {true, false, true, false};
    LineProbe line;
    RecordingProbe probe;
    probe.inner = &line;
    Recorder recorder;
    const JobResult result = search(request, probe, recorder);
    setComDevice(1, saved1);
    setComDevice(3, saved3);

    std::vector<Probe> expected;
    for (int nr : {5, 6, 7})
        for (int baud : {2400, 4800, 9600})
            for (int port : {1, 3})
                expected.push_back({port, baud, nr});
    expected.pop_back();  // 7 at 9600 on COM3 answers, nothing after it
    expected.push_back({3, 9600, 7});
    EXPECT_EQ(expected, probe.probes);
    const auto found = foundRegister(result);
    ASSERT_TRUE(found);
    EXPECT_EQ(7, found->nr);
    EXPECT_EQ(3, found->speedIndex);
    EXPECT_EQ(3, found->port);
    EXPECT_EQ((7u << 16 | (3 * 16 + 3)), (result.report() & 0xFFFF) << 16 | result.report() >> 16);
}

}  // namespace
}  // namespace kos::test
