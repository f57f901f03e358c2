#include "articles/ECRHeader.h"

#include "base/ArchiveString.h"

namespace kos {

void ECRHeader::clear() {
    for (std::string& line : lines)
        line.clear();
    alignment = LEFT;
}

void ECRHeader::serialize(ByteWriter& out) const {
    out.u8(alignment);
    for (const std::string& line : lines)
        writeArchiveString(out, line);
}

bool ECRHeader::deserialize(ByteReader& in) {
    if (!in.u8(alignment))
        return false;
    for (std::string& line : lines)
        if (!readArchiveString(in, line))
            return false;
    return true;
}

std::string ECRHeader::alignedLine(const std::string& text, uint8_t alignment) {
    if (text.size() >= LINE_WIDTH || alignment == LEFT)
        return text;
    const size_t room = LINE_WIDTH - text.size();
    if (alignment == CENTRE)
        return std::string(room / 2, ' ') + text;
    if (alignment == RIGHT)
        return std::string(room, ' ') + text;
    return text;
}

}  // namespace kos
