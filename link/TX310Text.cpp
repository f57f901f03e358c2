#include "link/TX310Text.h"

namespace kos {

bool nextField(std::string& message, std::string& field) {
    size_t pos = message.find(';');
    if (pos == std::string::npos)
        return false;
    field = message.substr(0, pos);
    message.erase(0, pos + 1);
    return true;
}

// Code page 1250 Polish letters, both cases, to the register's stand-ins for the capitals.
std::string toEcrText(const std::string& text) {
    std::string out = text;
    for (char& ch : out) {
        unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case 0x8C:  // Ś
            case 0x9C:
                ch = '^';
                break;
            case 0x8F:  // Ź
            case 0x9F:
                ch = '\'';
                break;
            case 0xA3:  // Ł
            case 0xB3:
                ch = ')';
                break;
            case 0xA5:  // Ą
            case 0xB9:
                ch = '$';
                break;
            case 0xAF:  // Ż
            case 0xBF:
                ch = '_';
                break;
            case 0xC6:  // Ć
            case 0xE6:
                ch = '[';
                break;
            case 0xCA:  // Ę
            case 0xEA:
                ch = '(';
                break;
            case 0xD1:  // Ń
            case 0xF1:
                ch = '\\';
                break;
            case 0xD3:  // Ó
            case 0xF3:
                ch = ']';
                break;
            default:
                if (c >= 'a' && c <= 'z')
                    ch = static_cast<char>(c - 'a' + 'A');
                break;
        }
    }
    return out;
}

std::string fromEcrText(const std::string& text) {
    std::string out = text;
    for (char& ch : out) {
        switch (ch) {
            case '$':
                ch = static_cast<char>(0xA5);
                break;
            case '\'':
                ch = static_cast<char>(0x8F);
                break;
            case '(':
                ch = static_cast<char>(0xCA);
                break;
            case ')':
                ch = static_cast<char>(0xA3);
                break;
            case '[':
                ch = static_cast<char>(0xC6);
                break;
            case '\\':
                ch = static_cast<char>(0xD1);
                break;
            case ']':
                ch = static_cast<char>(0xD3);
                break;
            case '^':
                ch = static_cast<char>(0x8C);
                break;
            case '_':
                ch = static_cast<char>(0xAF);
                break;
            default:
                break;
        }
    }
    return out;
}

}  // namespace kos
