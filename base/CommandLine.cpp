#include "base/CommandLine.h"

#include <cstdlib>

namespace kos {

bool parseIntOption(const std::string& text, long low, long high, int& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    return true;
}

void overrideLine(Settings& settings, const std::optional<int>& port,
                  const std::optional<std::string>& device, const std::optional<int>& speed) {
    if (port)
        settings.port = *port;
    if (device && settings.port >= 1 && settings.port <= COM_PORT_COUNT)
        settings.comDevice[settings.port - 1] = *device;
    if (speed)
        settings.portSpeed = *speed;
}

}  // namespace kos
