#include "RegisterSearch.h"

#include <cstdio>

#include "link/TX310Comm.h"

namespace kos {

bool LineProbe::probe(int port, int baud, int nr) {
    TX310Comm comm(clock_);
    std::string reply;
    const Tx310Code rc =
        comm.initInLineMode(port, baud, PROBE_TIMEOUT_MS, static_cast<uint8_t>(nr), reply);
    comm.endInLineMode();
    return rc == TX310_OK;
}

const char* findRequestError(const FindEcrRequest& request) {
    if (request.start < 0 || request.start > 99)
        return "Niepoprawna wartość początkowego numeru logicznego kasy.";
    for (bool port : request.ports)
        if (port)
            return nullptr;
    return "Należy wybrać co najmniej jeden port.";
}

int searchNumber(const FindEcrRequest& request, int pass) {
    return request.ascending ? (request.start + pass) % 100 : (request.start + 99 - pass) % 100;
}

JobResult findRegisterJob(JobControl& control, const FindEcrRequest& request,
                          RegisterProbe& probe) {
    for (int pass = 0; pass < 100; ++pass) {
        const int nr = searchNumber(request, pass);
        for (int speed = 1; speed <= 3; ++speed) {
            if (control.aborted())
                return {false, 0, 0};
            char text[96];
            std::snprintf(text, sizeof text, "Sprawdzam kasę nr %d przy prędkości %d bps.", nr,
                          SEARCH_SPEEDS[speed - 1]);
            control.progress(((3 * pass + speed) * 1000 - 1000) / 300, text);
            for (int port = 1; port <= COM_PORT_COUNT; ++port)
                if (request.ports[port - 1] && probe.probe(port, SEARCH_SPEEDS[speed - 1], nr))
                    return {true, nr, speed * 16 + port};
        }
    }
    return {true, NOTHING_FOUND, 0};
}

std::optional<FoundRegister> foundRegister(const JobResult& result) {
    if (!result.success || result.count == NOTHING_FOUND)
        return std::nullopt;
    return FoundRegister{result.count, result.errors / 16, result.errors % 16};
}

bool applyFoundRegister(const FoundRegister& found, Settings& settings, SettingsStore& store) {
    if (found.speedIndex < 1 || found.speedIndex > 3 || found.nr < 0 || found.port < 1 ||
        found.port > COM_PORT_COUNT)
        return false;
    settings.portSpeed = SEARCH_SPEEDS[found.speedIndex - 1];
    settings.ecrNr = found.nr;
    settings.port = found.port;
    saveSettings(store, settings);
    return true;
}

}  // namespace kos
