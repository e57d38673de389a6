#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/ProfileStore.h"

namespace tolvane {

// Access to one INI file. Failures are reported only through results and ErrorMsg.
class 读写配置 {
public:
    explicit 读写配置(ProfileStore& store) : m_store(store) {}

    std::string ErrorMsg;

    void SpecifyIni(std::string_view FilePathName);
    bool WriteString(std::string_view Section, std::string_view key, std::string_view Value);
    std::string ReadString(std::string_view Section, std::string_view key, std::int32_t Size);
    std::int32_t ReadInt(std::string_view Section, std::string_view key);

    const std::string& FilePath() const { return m_filePath; }

private:
    bool NoFileSpecified();

    ProfileStore& m_store;
    std::string m_filePath;
};

inline constexpr std::string_view kErrorNoFile = "没有指定文件 ";
inline constexpr std::string_view kErrorWriteFailed = "写入失败 ";
inline constexpr std::string_view kErrorCannotRead = "不能读取 ";

}  // namespace tolvane
