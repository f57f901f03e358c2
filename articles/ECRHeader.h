// The five lines a register prints at the top of every receipt, and their alignment.
#pragma once

#include <cstdint>
#include <string>

#include "base/Bytes.h"
#include "link/EcrArticle.h"

namespace kos {

struct ECRHeader {
    static constexpr const char* CLASS_NAME = "ECRHeader";
    // Schema 1 with the versionable flag, as its class record declares it.
    static constexpr uint32_t CLASS_SCHEMA = 0x80000001;
    // Characters the register prints per line; the dialog takes no more.
    static constexpr size_t LINE_WIDTH = 18;

    enum Alignment : uint8_t { LEFT = 0, CENTRE = 1, RIGHT = 2 };

    HeaderLines lines;  // code page 1250, line 1 first
    uint8_t alignment = LEFT;

    void clear();
    // Alignment byte, then the five lines as archive strings; no tag, no schema.
    void serialize(ByteWriter& out) const;
    bool deserialize(ByteReader& in);

    // The line as sent: spaces in front for centre and right, none at the end.
    static std::string alignedLine(const std::string& text, uint8_t alignment);
};

}  // namespace kos
