#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "autostart/AutostartStore.h"

namespace tolvane::fakes {

// Registry values held in memory, keyed by key path and value name; every call is recorded as
// "Set name=data", "Get name" or "Delete name". With `refuse`, writes and deletes fail.
class MemoryAutostartStore final : public AutostartStore {
public:
    struct Value {
        std::uint32_t type;
        std::string data;
    };

    bool SetRegValue(std::uint32_t, const std::string& keyPath, const std::string& valueName,
                     std::uint32_t valueType, const std::string& data) override {
        calls.push_back("Set " + valueName + "=" + data);
        if (refuse) return false;
        values[{keyPath, valueName}] = {valueType, data};
        return true;
    }

    bool GetRegValue(std::uint32_t, const std::string& keyPath, const std::string& valueName,
                     std::uint32_t& valueType, std::string& data) override {
        calls.push_back("Get " + valueName);
        auto it = values.find({keyPath, valueName});
        if (it == values.end()) {
            data.clear();
        } else {
            valueType = it->second.type;
            data = it->second.data;
        }
        return true;
    }

    bool DeleteRegValue(std::uint32_t, const std::string& keyPath,
                        const std::string& valueName) override {
        calls.push_back("Delete " + valueName);
        return !refuse && values.erase({keyPath, valueName}) == 1;
    }

    std::map<std::pair<std::string, std::string>, Value> values;
    std::vector<std::string> calls;
    bool refuse = false;
};

}  // namespace tolvane::fakes
