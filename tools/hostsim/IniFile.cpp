#include "IniFile.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace hostsim {
namespace {

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool isSection(const std::string& line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

}  // namespace

bool iniRead(const std::string& path, const std::string& section, const std::string& key,
             std::string& value) {
    bool inSection = false;
    for (const std::string& line : readLines(path)) {
        if (isSection(line)) {
            inSection = line == "[" + section + "]";
        } else if (inSection && line.compare(0, key.size() + 1, key + "=") == 0) {
            value = line.substr(key.size() + 1);
            return true;
        }
    }
    return false;
}

bool iniWrite(const std::string& path, const std::string& section, const std::string& key,
              const std::string& value) {
    std::vector<std::string> lines = readLines(path);
    bool inSection = false;
    size_t sectionEnd = lines.size();
    bool sectionFound = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (isSection(lines[i])) {
            if (inSection)
                sectionEnd = i;
            inSection = lines[i] == "[" + section + "]";
            sectionFound = sectionFound || inSection;
        } else if (inSection && lines[i].compare(0, key.size() + 1, key + "=") == 0) {
            lines[i] = key + "=" + value;
            sectionEnd = lines.size() + 1;
            break;
        }
    }
    if (sectionEnd <= lines.size() || !sectionFound) {
        if (!sectionFound) {
            lines.push_back("[" + section + "]");
            sectionEnd = lines.size();
        }
        lines.insert(lines.begin() + static_cast<long>(sectionEnd), key + "=" + value);
    }
    std::ofstream out(path, std::ios::trunc);
    for (const std::string& line : lines)
        out << line << '\n';
    return static_cast<bool>(out);
}

}  // namespace hostsim
