#include "CommandLine.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kos::ecrsim {

namespace {

bool toInt(const std::string& text, long low, long high, long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

bool isPluText(const std::string& s) {
    if (s.size() != 14 || s == std::string(14, '0'))
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Codes given with fewer digits are right-aligned to 14.
std::string pluText(const std::string& s) {
    return s.size() < 14 ? std::string(14 - s.size(), '0') + s : s;
}

// "N", "N@LINE", "N:BPS" or "N@LINE:BPS".
bool takeRegister(std::string part, SimOptions& options) {
    long nr = 0, line = 1, speed = 0;
    const size_t colon = part.find(':');
    if (colon != std::string::npos) {
        if (!toInt(part.substr(colon + 1), 1, 1000000, speed))
            return false;
        part.erase(colon);
    }
    const size_t at = part.find('@');
    if (at != std::string::npos) {
        if (!toInt(part.substr(at + 1), 1, 16, line))
            return false;
        part.erase(at);
    }
    if (!toInt(part, 0, 99, nr))
        return false;
    options.registers.push_back(static_cast<int>(nr));
    if (line != 1)
        options.registerLines[static_cast<int>(nr)] = static_cast<int>(line);
    if (speed != 0)
        options.registerSpeeds[static_cast<int>(nr)] = static_cast<int>(speed);
    return true;
}

}  // namespace

const char* usage() {
    return "usage: ecrsim [options]\n"
           "  --registers LIST      register numbers, e.g. 1,7,99 (default 1); N@L puts\n"
           "                        register N on line L, N:BPS gives it its own speed\n"
           "  --link PATH           symlink to the pseudo-terminal; again for each further line\n"
           "  --lines N             pseudo-terminals (com ports) served (default: one per --link)\n"
           "  --speed BPS           registers answer only at this speed (default: at any)\n"
           "  --receipt-every MS    each register rings a receipt this often\n"
           "  --receipt-lines N     sale lines per receipt (default 3)\n"
           "  --receipts N          receipts per register, then stop ringing\n"
           "  --seed N              receipt contents\n"
           "  --journal PATH        append every completed receipt\n"
           "  --articles PATH       starting article table (plu;name;vat;price[;open])\n"
           "  --no-articles         start with an empty article table\n"
           "  --refuse LIST         article codes the registers refuse\n"
           "  --corrupt N           every Nth frame sent has a wrong CRC\n"
           "  --lose-ack N          every Nth ACK of the PC goes unseen\n"
           "  --no-ack N            every Nth frame of the PC is not acknowledged\n"
           "  --silent N            every Nth call is not answered\n"
           "  --repeat N            every Nth call repeats the last delivered message\n"
           "  --serial-change N     a new serial number after every N receipts\n"
           "  --drip NR:MS          register NR sends its frames a byte every MS ms\n"
           "  --trace               line events on standard error\n"
           "  --version             print the version\n"
           "  --help                this text\n";
}

bool loadArticles(const std::string& path, std::vector<SimArticle>& articles, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> f = split(line, ';');
        SimArticle a;
        long vat = 0, price = 0, open = 0, quantity = 0, amount = 0;
        a.plu = f.empty() ? std::string() : pluText(f[0]);
        bool ok = f.size() >= 4 && isPluText(a.plu) && !f[1].empty() && f[1].size() <= 20 &&
                  toInt(f[2], 1, 7, vat) && toInt(f[3], 0, 999999999, price) &&
                  (f.size() < 5 || toInt(f[4], 0, 1, open)) &&
                  (f.size() < 7 || (toInt(f[5], -999999999, 999999999, quantity) &&
                                    toInt(f[6], -999999999, 999999999, amount)));
        if (!ok) {
            error = path + ":" + std::to_string(lineNo) + ": not an article line";
            return false;
        }
        a.name = f[1];
        a.vat = static_cast<int>(vat);
        a.price = static_cast<int32_t>(price);
        a.openPrice = static_cast<int>(open);
        a.quantity = static_cast<int32_t>(quantity);
        a.amount = static_cast<int32_t>(amount);
        articles.push_back(a);
    }
    return true;
}

std::vector<SimArticle> sampleArticles() {
    std::vector<SimArticle> a(5);
    a[0] = {"00000000000012", "MLEKO", 1, 250, 0, 0, 0};
    a[1] = {"00000000000013", "CHLEB", 1, 399, 0, 0, 0};
    a[2] = {"00000000000100", "MAS)O", 1, 699, 0, 0, 0};
    a[3] = {"00000000001234", "JAB)KA", 2, 450, 1, 0, 0};
    a[4] = {"00000000005000", "^MIETANA", 1, 325, 0, 0, 0};
    return a;
}

bool parseCommandLine(int argc, const char* const* argv, SimOptions& options, std::string& error) {
    bool sample = true;
    int links = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            error = "help";
            return false;
        }
        if (arg == "--trace") {
            options.trace = true;
            continue;
        }
        if (arg == "--no-articles") {
            sample = false;
            continue;
        }
        if (i + 1 >= argc) {
            error = arg + ": missing value or unknown option";
            return false;
        }
        const std::string value = argv[++i];
        long n = 0;
        auto count = [&](int& out) {
            if (!toInt(value, 0, 1000000000, n))
                return false;
            out = static_cast<int>(n);
            return true;
        };
        bool ok = true;
        if (arg == "--registers") {
            options.registers.clear();
            for (const std::string& part : split(value, ','))
                ok = ok && takeRegister(part, options);
            ok = ok && !options.registers.empty();
        } else if (arg == "--link") {
            if (links++ == 0)
                options.linkPath = value;
            else
                options.extraLinkPaths.push_back(value);
        } else if (arg == "--lines") {
            ok = toInt(value, 1, 16, n) && (options.lines = static_cast<int>(n), true);
        } else if (arg == "--speed") {
            ok = toInt(value, 1, 1000000, n) && (options.speed = static_cast<int>(n), true);
        } else if (arg == "--journal") {
            options.journalPath = value;
        } else if (arg == "--articles") {
            ok = loadArticles(value, options.articles, error);
            if (!ok)
                return false;
            sample = false;
        } else if (arg == "--refuse") {
            for (const std::string& part : split(value, ',')) {
                ok = ok && isPluText(pluText(part));
                options.refusedPlus.push_back(pluText(part));
            }
        } else if (arg == "--receipt-every") {
            ok = count(options.receiptEveryMs);
        } else if (arg == "--receipt-lines") {
            ok = count(options.receiptLines);
        } else if (arg == "--receipts") {
            ok = count(options.maxReceipts);
        } else if (arg == "--seed") {
            int seed = 0;
            ok = count(seed);
            options.seed = static_cast<uint32_t>(seed);
        } else if (arg == "--corrupt") {
            ok = count(options.faults.corruptEvery);
        } else if (arg == "--lose-ack") {
            ok = count(options.faults.loseAckEvery);
        } else if (arg == "--no-ack") {
            ok = count(options.faults.noAckEvery);
        } else if (arg == "--silent") {
            ok = count(options.faults.silentEvery);
        } else if (arg == "--repeat") {
            ok = count(options.faults.repeatEvery);
        } else if (arg == "--serial-change") {
            ok = count(options.faults.serialChangeEvery);
        } else if (arg == "--drip") {
            const std::vector<std::string> parts = split(value, ':');
            long pause = 0;
            ok = parts.size() == 2 && toInt(parts[0], 0, 99, n) && toInt(parts[1], 1, 10000, pause);
            options.dripMs[static_cast<int>(n)] = static_cast<int>(pause);
        } else {
            error = arg + ": unknown option";
            return false;
        }
        if (!ok) {
            error = arg + ": bad value " + value;
            return false;
        }
    }
    if (sample && options.articles.empty())
        options.articles = sampleArticles();
    return true;
}

}  // namespace kos::ecrsim
