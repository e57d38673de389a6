#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "IniCases.h"
#include "settings/IniText.h"
#include "win32/TextConversion.h"
#include "win32/Win32ProfileStore.h"

// The same profile cases through the system's profile functions (kernel32) and through the
// portable INI code: both must give the expected results. The Windows store writes through
// the profile functions too, but never in place: its files must come out byte for byte alike.
namespace tolvane::testing {
namespace {

class ProfileParity : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"tolvane-parity-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_folder.c_str(), nullptr);
        m_path = m_folder + L"\\Value.ini";
    }
    void TearDown() override {
        DeleteFileW(m_path.c_str());
        RemoveDirectoryW(m_folder.c_str());
    }

    // Text files are stored in the ANSI code page, as the system's own writes store them.
    void Put(const std::optional<std::string_view>& content, const std::wstring& path) {
        DeleteFileW(path.c_str());
        if (!content) return;
        const bool raw = content->substr(0, 3) == "\xEF\xBB\xBF" ||
                         std::all_of(content->begin(), content->end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        const std::string bytes = raw ? std::string(*content) : Utf8ToAnsi(*content);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    static std::string Bytes(const std::wstring& path) {
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    std::string Path() const { return WideToUtf8(m_path); }

    Win32ProfileStore m_system;
    std::wstring m_folder;
    std::wstring m_path;
};

TEST_F(ProfileParity, ReadsAgreeCaseByCase) {
    for (const IniReadCase& c : IniReadCases()) {
        SCOPED_TRACE(c.name);
        Put(c.file, m_path);
        const std::string_view text = c.file.value_or("");
        EXPECT_EQ(m_system.GetString(c.section, c.key, "", c.size, Path()), c.expectedString);
        EXPECT_EQ(ini::GetString(text, c.section, c.key, "", c.size), c.expectedString);
        EXPECT_EQ(m_system.GetInt(c.section, c.key, kIntDefault, Path()), c.expectedInt);
        EXPECT_EQ(ini::GetInt(text, c.section, c.key, kIntDefault), c.expectedInt);
    }
}

TEST_F(ProfileParity, WritesReadBackAlike) {
    for (const IniWriteCase& c : IniWriteCases()) {
        SCOPED_TRACE(c.name);
        // The store's whole-file replacement leaves what the profile function leaves in place.
        const std::wstring inPlace = m_folder + L"\\InPlace.ini";
        Put(c.file, inPlace);
        WritePrivateProfileStringA(Utf8ToAnsi(c.section).c_str(), Utf8ToAnsi(c.key).c_str(),
                                   Utf8ToAnsi(c.value).c_str(), WideToUtf8(inPlace).c_str());
        Put(c.file, m_path);
        const std::string before = Bytes(m_path);
        const bool stored = m_system.WriteString(c.section, c.key, c.value, Path());
        EXPECT_EQ(stored, c.expectedFile.has_value());
        EXPECT_EQ(Bytes(m_path), stored ? Bytes(inPlace) : before);
        DeleteFileW(inPlace.c_str());
        const std::string ours = std::string(c.expectedFile.value_or(c.file.value_or("")));
        for (std::string_view key : {c.key, c.otherKey}) {
            if (key.empty()) continue;
            EXPECT_EQ(m_system.GetString(c.section, key, "", 64, Path()),
                      ini::GetString(ours, c.section, key, "", 64))
                << key;
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
