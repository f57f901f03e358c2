#include "base/Codepage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace kos {

namespace {

enum class Stop { Done, Unmappable, Malformed };

// Converts what iconv can; reports where and why it stopped. `in` advances past what was used.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    Stop run(const char*& in, size_t& inLeft, std::string& out) {
        char buf[1024];
        while (inLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            char* src = const_cast<char*>(in);
            size_t r = iconv(cd_, &src, &inLeft, &dst, &dstLeft);
            in = src;
            out.append(buf, sizeof buf - dstLeft);
            if (r != static_cast<size_t>(-1))
                continue;
            int err = errno;
            if (err == E2BIG)
                continue;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            return err == EILSEQ ? Stop::Unmappable : Stop::Malformed;
        }
        return Stop::Done;
    }

private:
    iconv_t cd_;
};

// Bytes of the UTF-8 character at p: the whole sequence when it is well formed (a character
// without a code page 1250 form), one byte for a broken one.
size_t utf8Length(const char* p, size_t left) {
    auto lead = static_cast<unsigned char>(p[0]);
    size_t n = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (n > left)
        return 1;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(p[i]) & 0xC0) != 0x80)
            return 1;
    return n;
}

// Converts text, putting '?' in place of each unit that cannot be converted; `unit` says how
// many input bytes to skip there.
template <typename SkipFn>
std::string convertLenient(const char* to, const char* from, const std::string& text, SkipFn unit) {
    Converter conv(to, from);
    if (!conv.ok())
        return text;
    std::string out;
    const char* in = text.data();
    size_t left = text.size();
    while (conv.run(in, left, out) != Stop::Done) {
        size_t skip = unit(in, left);
        out += '?';
        in += skip;
        left -= skip;
    }
    return out;
}

// The UTF-8 form of every code page byte, asked of iconv once (empty: the byte has none), and
// the way back. The code page is one byte per character, so the tables convert exactly what
// iconv converts, many times faster than a call per text.
struct Tables {
    std::array<std::string, 256> utf8;
    std::unordered_map<uint32_t, char> back;  // UTF-8 bytes packed into a number

    static uint32_t pack(const char* p, size_t n) {
        uint32_t k = 0;
        for (size_t i = 0; i < n; ++i)
            k = (k << 8) | static_cast<unsigned char>(p[i]);
        return k;
    }

    Tables() {
        for (int b = 0; b < 256; ++b) {
            Converter conv("UTF-8", "CP1250");
            const char byte = static_cast<char>(b);
            const char* in = &byte;
            size_t left = 1;
            std::string out;
            if (conv.ok() && conv.run(in, left, out) == Stop::Done && !out.empty()) {
                utf8[static_cast<size_t>(b)] = out;
                back.emplace(pack(out.data(), out.size()), byte);
            }
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

std::string cp1250ToUtf8(const std::string& text) {
    const Tables& t = tables();
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
            continue;
        }
        const std::string& u = t.utf8[static_cast<unsigned char>(c)];
        out += u.empty() ? std::string("?") : u;
    }
    return out;
}

std::string utf8ToCp1250(const std::string& text) {
    return convertLenient("CP1250", "UTF-8", text, utf8Length);
}

bool utf8ToCp1250Exact(const std::string& text, std::string& out) {
    const Tables& t = tables();
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            result += text[i++];
            continue;
        }
        const size_t n = utf8Length(text.data() + i, text.size() - i);
        const auto it = t.back.find(Tables::pack(text.data() + i, n));
        if (it == t.back.end())
            return false;
        result += it->second;
        i += n;
    }
    out = std::move(result);
    return true;
}

bool utf16leToCp1250(const std::string& utf16le, std::string& out) {
    if (utf16le.size() % 2 != 0)
        return false;
    Converter conv("CP1250", "UTF-16LE");
    if (!conv.ok())
        return false;
    std::string result;
    const char* in = utf16le.data();
    size_t left = utf16le.size();
    for (;;) {
        Stop stop = conv.run(in, left, result);
        if (stop == Stop::Done)
            break;
        if (stop == Stop::Malformed)
            return false;
        // A valid character without a code page 1250 form, or a lone surrogate (malformed).
        auto unitAt = [&](size_t i) {
            return static_cast<unsigned>(static_cast<unsigned char>(in[i])) |
                   (static_cast<unsigned>(static_cast<unsigned char>(in[i + 1])) << 8);
        };
        unsigned u = unitAt(0);
        size_t skip = 2;
        if (u >= 0xDC00 && u <= 0xDFFF)
            return false;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (left < 4 || unitAt(2) < 0xDC00 || unitAt(2) > 0xDFFF)
                return false;
            skip = 4;
        }
        result += '?';
        in += skip;
        left -= skip;
    }
    out = std::move(result);
    return true;
}

}  // namespace kos
