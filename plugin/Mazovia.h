// The host's code page (Mazovia): Polish letters above 0x80, ASCII below. Header only, so that
// hostsim decodes with the same table the plug-in encodes with.
#pragma once

#include <cstdint>
#include <string>

namespace tarvel {

struct MazoviaLetter {
    unsigned char byte;
    uint16_t code;  // Unicode code point
};

inline constexpr MazoviaLetter MAZOVIA_LETTERS[] = {
    {0x86, 0x0105}, {0x8D, 0x0107}, {0x8F, 0x0104}, {0x90, 0x0118}, {0x91, 0x0119}, {0x92, 0x0142},
    {0x95, 0x0106}, {0x98, 0x015A}, {0x9C, 0x0141}, {0x9E, 0x015B}, {0xA0, 0x0179}, {0xA1, 0x017B},
    {0xA2, 0x00F3}, {0xA3, 0x00D3}, {0xA4, 0x0144}, {0xA5, 0x0143}, {0xA6, 0x017A}, {0xA7, 0x017C},
};

// UTF-8 to Mazovia; characters the code page lacks become '?'.
inline std::string toMazovia(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        uint32_t code = 0;
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        code = length == 1 ? c : c & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        char byte = '?';
        for (const auto& letter : MAZOVIA_LETTERS)
            if (letter.code == code)
                byte = static_cast<char>(letter.byte);
        out += byte;
    }
    return out;
}

// Mazovia to UTF-8; bytes above 0x7F that are no Polish letter become '?'.
inline std::string fromMazovia(const std::string& bytes) {
    std::string out;
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
            continue;
        }
        uint16_t code = '?';
        for (const auto& letter : MAZOVIA_LETTERS)
            if (letter.byte == c)
                code = letter.code;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace tarvel
