// The search for a register whose port, speed and logical number are unknown: every logical
// number once, each at 2400, 4800 and 9600 bit/s, each on every chosen port, until one answers.
// The job's result carries the find: count = number (0xFFFF: none), errors = speed index * 16 +
// port.
#pragma once

#include <array>
#include <optional>

#include "articles/JobRunner.h"
#include "base/Clock.h"
#include "base/Settings.h"

namespace kos {

inline constexpr int NOTHING_FOUND = 0xFFFF;
inline constexpr int SEARCH_SPEEDS[3] = {2400, 4800, 9600};  // speed index 1, 2, 3
inline constexpr int PROBE_TIMEOUT_MS = 500;

struct FindEcrRequest {
    bool ascending = true;
    int start = 1;
    std::array<bool, COM_PORT_COUNT> ports{true, false, false, false};  // COM1..COM4
};

struct FoundRegister {
    int nr = 0;
    int speedIndex = 0;  // 1..3
    int port = 0;        // 1..4
};

// Whether a register nr answers on port at baud. The search's only contact with the line.
class RegisterProbe {
public:
    virtual ~RegisterProbe() = default;
    virtual bool probe(int port, int baud, int nr) = 0;
};

// The probe on the serial line: in-line mode with a 500 ms begin-frame time-out, then its end.
class LineProbe final : public RegisterProbe {
public:
    explicit LineProbe(Clock& clock = systemClock()) : clock_(clock) {}
    bool probe(int port, int baud, int nr) override;

private:
    Clock& clock_;
};

// The message refusing the request, or nullptr when it may start.
const char* findRequestError(const FindEcrRequest& request);
// The logical number of pass r (0..99).
int searchNumber(const FindEcrRequest& request, int pass);
// Fails (count 0) when the abort flag is seen before a speed step.
JobResult findRegisterJob(JobControl& control, const FindEcrRequest& request, RegisterProbe& probe);
// The find of a successful search, or nothing.
std::optional<FoundRegister> foundRegister(const JobResult& result);
// "Ustaw": PortSpeed, ecrNr and Port set and all settings saved; false (nothing changed) for a
// find out of range ("Nie znaleziono kasy.").
bool applyFoundRegister(const FoundRegister& found, Settings& settings, SettingsStore& store);

inline constexpr const char* TEXT_NOT_AN_INTEGER = "Wprowadź liczbę całkowitą.";
inline constexpr const char* TEXT_REGISTER_NOT_FOUND = "Nie znaleziono kasy.";

}  // namespace kos
