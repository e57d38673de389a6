#pragma once

#include "autostart/AutostartStore.h"

namespace tolvane {

// The registry itself, through the module 注册表操作.
class Win32AutostartStore final : public AutostartStore {
public:
    bool SetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                     const std::string& valueName, std::uint32_t valueType,
                     const std::string& data) override;
    bool GetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                     const std::string& valueName, std::uint32_t& valueType,
                     std::string& data) override;
    bool DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                        const std::string& valueName) override;
};

}  // namespace tolvane
