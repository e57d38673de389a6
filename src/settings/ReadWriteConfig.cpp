#include "settings/ReadWriteConfig.h"

namespace tolvane {

void 读写配置::SpecifyIni(std::string_view FilePathName) {
    // Only spaces are trimmed here, as a path may legitimately hold other blanks.
    std::size_t first = FilePathName.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        m_filePath.clear();
        return;
    }
    std::size_t last = FilePathName.find_last_not_of(' ');
    m_filePath = std::string(FilePathName.substr(first, last - first + 1));
}

bool 读写配置::NoFileSpecified() {
    if (m_filePath.empty()) {
        ErrorMsg = kErrorNoFile;
        return true;
    }
    ErrorMsg.clear();
    return false;
}

bool 读写配置::WriteString(std::string_view Section, std::string_view key, std::string_view Value) {
    if (NoFileSpecified()) return false;
    if (!m_store.WriteString(Section, key, Value, m_filePath)) {
        ErrorMsg = kErrorWriteFailed;
        return false;
    }
    return true;
}

std::string 读写配置::ReadString(std::string_view Section, std::string_view key,
                                 std::int32_t Size) {
    if (NoFileSpecified()) return {};
    return m_store.GetString(Section, key, "", Size, m_filePath);
}

std::int32_t 读写配置::ReadInt(std::string_view Section, std::string_view key) {
    // Unbound, the profile call would fall back to a system-wide file; refuse instead.
    if (m_filePath.empty()) {
        ErrorMsg = kErrorNoFile;
        return 0;
    }
    std::int32_t n = m_store.GetInt(Section, key, 0, m_filePath);
    if (n != 0) return n;
    // A stored 0 and a missing key both read 0 above; a second default tells them apart.
    std::int32_t m = m_store.GetInt(Section, key, 1, m_filePath);
    if (m == 1) {
        ErrorMsg = kErrorCannotRead;
        return 0;
    }
    return m;
}

}  // namespace tolvane
