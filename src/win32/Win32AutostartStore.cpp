#include "win32/Win32AutostartStore.h"

#include "win32/RegistryModule.h"

namespace tolvane {

bool Win32AutostartStore::SetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName, std::uint32_t valueType,
                                      const std::string& data) {
    return 注册表操作::SetRegValue(rootKey, keyPath, valueName, valueType, data);
}

bool Win32AutostartStore::GetRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                      const std::string& valueName, std::uint32_t& valueType,
                                      std::string& data) {
    return 注册表操作::GetRegValue(rootKey, keyPath, valueName, valueType, data);
}

bool Win32AutostartStore::DeleteRegValue(std::uint32_t rootKey, const std::string& keyPath,
                                         const std::string& valueName) {
    return 注册表操作::DeleteRegValue(rootKey, keyPath, valueName);
}

}  // namespace tolvane
