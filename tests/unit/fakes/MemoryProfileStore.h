#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/IniText.h"
#include "settings/ProfileStore.h"

namespace tolvane::fakes {

// Profile files held in memory, read and written with the portable INI code; every call is
// recorded. A file listed in `readOnly` refuses writes.
class MemoryProfileStore final : public ProfileStore {
public:
    struct Call {
        std::string op;
        std::string section;
        std::string key;
        std::string argument;  // default, size or value
        std::string file;
    };

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::int32_t size,
                          const std::string& file) override {
        calls.push_back({"GetString", std::string(section), std::string(key),
                         std::string(defaultValue) + "/" + std::to_string(size), file});
        return ini::GetString(Text(file), section, key, defaultValue, size);
    }

    std::int32_t GetInt(std::string_view section, std::string_view key, std::int32_t defaultValue,
                        const std::string& file) override {
        calls.push_back(
            {"GetInt", std::string(section), std::string(key), std::to_string(defaultValue), file});
        return ini::GetInt(Text(file), section, key, defaultValue);
    }

    bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                     const std::string& file) override {
        calls.push_back(
            {"WriteString", std::string(section), std::string(key), std::string(value), file});
        if (readOnly.count(file) != 0) return false;
        auto updated = ini::SetValue(Text(file), section, key, value);
        if (!updated) return false;
        files[file] = *updated;
        return true;
    }

    int CountOf(const std::string& op) const {
        int n = 0;
        for (const Call& call : calls) n += call.op == op ? 1 : 0;
        return n;
    }

    std::map<std::string, std::string> files;
    std::map<std::string, bool> readOnly;
    std::vector<Call> calls;

private:
    std::string Text(const std::string& file) const {
        auto it = files.find(file);
        return it == files.end() ? std::string() : it->second;
    }
};

}  // namespace tolvane::fakes
