// The host's configuration file: "[section]" headers and "key=value" lines.
#pragma once

#include <string>

namespace hostsim {

bool iniRead(const std::string& path, const std::string& section, const std::string& key,
             std::string& value);
bool iniWrite(const std::string& path, const std::string& section, const std::string& key,
              const std::string& value);

}  // namespace hostsim
