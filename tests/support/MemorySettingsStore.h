// A settings store in memory, for tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "base/Settings.h"

namespace kos {

class MemorySettingsStore final : public SettingsStore {
public:
    std::optional<int> getInt(const std::string& section, const std::string& name) override {
        auto it = values.find({section, name});
        if (it == values.end() || !it->second.isInt)
            return std::nullopt;
        return it->second.number;
    }
    std::optional<std::string> getString(const std::string& section,
                                         const std::string& name) override {
        auto it = values.find({section, name});
        if (it == values.end() || it->second.isInt)
            return std::nullopt;
        return it->second.text;
    }
    void setInt(const std::string& section, const std::string& name, int value) override {
        values[{section, name}] = Value{true, value, {}};
    }
    void setString(const std::string& section, const std::string& name,
                   const std::string& value) override {
        values[{section, name}] = Value{false, 0, value};
    }

    struct Value {
        bool isInt = false;
        int number = 0;
        std::string text;
    };
    std::map<std::pair<std::string, std::string>, Value> values;
};

}  // namespace kos
