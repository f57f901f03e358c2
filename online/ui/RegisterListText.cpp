#include "online/ui/RegisterListText.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "app/ui/DirectoryCheck.h"

namespace kos {

std::string takeRegisterToken(std::string& text) {
    std::string token;
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        token = text;
        text.clear();
    } else {
        token = text.substr(0, comma);
        text.erase(0, comma + 1);
    }
    return trimmed(token);
}

bool parseRegisterNumber(const std::string& token, int32_t& number) {
    if (token.empty())
        return false;
    const char* begin = token.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(begin, &end, 10);
    // strtoll skips leading blanks; the token is trimmed, so any left mean garbage.
    if (end == begin || *end != '\0' || errno == ERANGE || token.front() == ' ' ||
        token.front() == '\t')
        return false;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return false;
    number = static_cast<int32_t>(value);
    return true;
}

}  // namespace kos
