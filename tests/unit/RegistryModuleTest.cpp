// The registry module and the start-at-boot operations against the real registry (Wine's,
// in a private copy of the prefix).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "autostart/StartAtBoot.h"
#include "win32/RegistryModule.h"
#include "win32/TextConversion.h"
#include "win32/Win32AutostartStore.h"

namespace tolvane::testing {
namespace {

using namespace std::string_literals;

constexpr char kTestKey[] = "Software\\Tolvane Test\\注册表";
const std::string kRun(kRunKeyPath);

// Stores raw bytes under the test key, as another program could have.
void Store(const std::string& name, DWORD type, const std::string& bytes,
           const std::string& key = kTestKey) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, Utf8ToAnsi(key).c_str(), &handle), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(handle, Utf8ToAnsi(name).c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

// The raw bytes and type of a value, or type REG_NONE and no bytes when it is missing.
std::pair<DWORD, std::string> Raw(const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, Utf8ToAnsi(key).c_str(), &handle) != ERROR_SUCCESS) {
        return {REG_NONE, ""};
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::string bytes;
    if (RegQueryValueExA(handle, Utf8ToAnsi(name).c_str(), nullptr, &type, nullptr, &size) ==
        ERROR_SUCCESS) {
        bytes.resize(size);
        RegQueryValueExA(handle, Utf8ToAnsi(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(bytes.data()), &size);
    }
    RegCloseKey(handle);
    return {type, bytes};
}

TEST(RegistryModule, GetRegValueReadsEveryStoredTypeOfTheTable) {
    SetEnvironmentVariableA("TOLVANE_TEST_DIR", "Z:\\clock");
    const std::string gbk = Utf8ToAnsi("D:\\时钟\\Tolvane.exe");
    // clang-format off
    const struct {
        const char* name;
        DWORD type;
        std::string bytes;
        std::string expected;
    } rows[] = {
        {"sz", REG_SZ, "C:\\x\0"s, "C:\\x"},
        {"sz_gbk", REG_SZ, gbk + '\0', "D:\\时钟\\Tolvane.exe"},
        {"sz_two_nuls", REG_SZ, "ab\0cd\0"s, "ab"},
        {"expand", REG_EXPAND_SZ, "%TOLVANE_TEST_DIR%\\y\0"s, "Z:\\clock\\y"},
        {"multi", REG_MULTI_SZ, "a\0b\0\0"s, "a\0b\0"s},
        {"binary", REG_BINARY, "\x0A\x1F"s, "keepA1F"},
        {"dword", REG_DWORD, "\x05\x00\x00\x00"s, "5"},
        {"dword_negative", REG_DWORD, "\xFF\xFF\xFF\xFF"s, "-1"},
        {"big_endian", REG_DWORD_BIG_ENDIAN, "\x00\x00\x00\x01"s, "16777216"},
        {"none", REG_NONE, "xyz"s, "keep"},
        {"qword", REG_QWORD, "\x01\x00\x00\x00\x00\x00\x00\x00"s, "keep"},
    };
    // clang-format on
    for (const auto& row : rows) {
        Store(row.name, row.type, row.bytes);
        std::uint32_t type = kRegSz;
        std::string data = "keep";
        EXPECT_TRUE(注册表操作::GetRegValue(kHkeyCurrentUser, kTestKey, row.name, type, data));
        EXPECT_EQ(type, row.type) << row.name;
        EXPECT_EQ(data, row.expected) << row.name;
    }

    std::uint32_t type = kRegSz;
    std::string data = "keep";
    EXPECT_TRUE(注册表操作::GetRegValue(kHkeyCurrentUser, kTestKey, "missing", type, data));
    EXPECT_EQ(data, "");
    data = "keep";
    EXPECT_FALSE(
        注册表操作::GetRegValue(kHkeyCurrentUser, "Software\\No Such Key", "x", type, data));
    EXPECT_EQ(data, "keep");
    EXPECT_EQ(type, kRegSz);
}

TEST(RegistryModule, SetAndDeleteWriteAnsiWithOneNulCounted) {
    const std::string key = std::string(kTestKey) + "\\新";
    EXPECT_TRUE(注册表操作::SetRegValue(kHkeyCurrentUser, key, "值", kRegSz, "D:\\时钟"));
    const auto [type, bytes] = Raw(key, "值");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, Utf8ToAnsi("D:\\时钟") + '\0');
    EXPECT_EQ(bytes.size(), 8u);  // "D:\" and two GBK characters of two bytes, then the NUL

    EXPECT_TRUE(注册表操作::DeleteRegValue(kHkeyCurrentUser, key, "值"));
    EXPECT_EQ(Raw(key, "值").second, "");
    EXPECT_FALSE(注册表操作::DeleteRegValue(kHkeyCurrentUser, key, "值"));
    EXPECT_FALSE(注册表操作::DeleteRegValue(kHkeyCurrentUser, "Software\\No Such Key", "值"));
}

FILETIME LastWrite(const std::string& key) {
    HKEY handle = nullptr;
    FILETIME time{};
    if (RegOpenKeyA(HKEY_CURRENT_USER, key.c_str(), &handle) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, &time);
        RegCloseKey(handle);
    }
    return time;
}

TEST(RegistryModule, StartAtBootOnTheRealRunKey) {
    Win32AutostartStore store;
    const std::string root = StartAtBootCommand(ProgramFolder{"C:\\", '\\', "Tolvane.exe"});
    ASSERT_EQ(root, "\"C:\\\\Tolvane.exe\"");
    Store("Other", REG_SZ, "\"C:\\other.exe\"\0"s, kRun);

    // Drive root: written and compared in the same double-backslash form.
    EXPECT_FALSE(IsStartAtBootRegistered(store, root));
    RegisterStartAtBoot(store, root);
    EXPECT_EQ(Raw(kRun, "Kestrune"), std::make_pair(DWORD(REG_SZ), root + '\0'));
    EXPECT_TRUE(IsStartAtBootRegistered(store, root));

    // Registering twice leaves the key untouched.
    const FILETIME before = LastWrite(kRun);
    Sleep(50);
    RegisterStartAtBoot(store, root);
    const FILETIME after = LastWrite(kRun);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);

    // Only letter case differs: not registered, and overwritten.
    const std::string command = StartAtBootCommand(ProgramFolder{"C:\\Apps\\T", '\\', "T.exe"});
    Store("Kestrune", REG_SZ, "\"c:\\apps\\t\\t.exe\"\0"s, kRun);
    EXPECT_FALSE(IsStartAtBootRegistered(store, command));
    RegisterStartAtBoot(store, command);
    EXPECT_EQ(Raw(kRun, "Kestrune").second, command + '\0');

    // A number or bytes under the name: not registered, replaced by the string.
    for (const auto& [type, bytes] :
         {std::pair<DWORD, std::string>{REG_DWORD, "\x05\0\0\0"s}, {REG_BINARY, command}}) {
        Store("Kestrune", type, bytes, kRun);
        EXPECT_FALSE(IsStartAtBootRegistered(store, command));
        RegisterStartAtBoot(store, command);
        EXPECT_EQ(Raw(kRun, "Kestrune"), std::make_pair(DWORD(REG_SZ), command + '\0'));
    }

    // Unregistering removes the value, and with no value changes nothing.
    UnregisterStartAtBoot(store);
    EXPECT_FALSE(IsStartAtBootRegistered(store, command));
    EXPECT_EQ(Raw(kRun, "Kestrune").first, static_cast<DWORD>(REG_NONE));
    UnregisterStartAtBoot(store);
    EXPECT_EQ(Raw(kRun, "Other").second, "\"C:\\other.exe\"\0"s);
}

}  // namespace
}  // namespace tolvane::testing
