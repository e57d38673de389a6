#include "settings/IniText.h"

#include <gtest/gtest.h>

#include "IniCases.h"

namespace tolvane::testing {
namespace {

class IniRead : public ::testing::TestWithParam<IniReadCase> {};

TEST_P(IniRead, StringAndNumberAsTheProfileFunctionsGiveThem) {
    const IniReadCase& c = GetParam();
    const std::string_view text = c.file.value_or("");
    EXPECT_EQ(ini::GetString(text, c.section, c.key, "", c.size), c.expectedString);
    EXPECT_EQ(ini::GetInt(text, c.section, c.key, kIntDefault), c.expectedInt);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniRead, ::testing::ValuesIn(IniReadCases()),
                         [](const auto& info) { return std::string(info.param.name); });

class IniWrite : public ::testing::TestWithParam<IniWriteCase> {};

TEST_P(IniWrite, StoresInPlaceAndKeepsEveryOtherByte) {
    const IniWriteCase& c = GetParam();
    const std::optional<std::string> written =
        ini::SetValue(c.file.value_or(""), c.section, c.key, c.value);
    if (!c.expectedFile) {
        EXPECT_FALSE(written.has_value());
        return;
    }
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, *c.expectedFile);
}

INSTANTIATE_TEST_SUITE_P(Cases, IniWrite, ::testing::ValuesIn(IniWriteCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniText, DefaultIsUsedForMissingKeysWithTrailingSpacesDropped) {
    EXPECT_EQ(ini::GetString("", "S", "k", "dflt  ", 12), "dflt");
    EXPECT_EQ(ini::GetString("", "S", "k", "\"q\"", 12), "q");
    EXPECT_EQ(ini::GetInt("", "S", "k", 1), 1);
}

TEST(IniText, CutNeverSplitsAUtf8Character) {
    // 星期 is two three-byte characters; 5 bytes of room hold only the first.
    EXPECT_EQ(ini::GetString("[S]\nk=星期\n", "S", "k", "", 6), "星");
    EXPECT_EQ(ini::GetString("[S]\nk=星期\n", "S", "k", "", 7), "星期");
}

TEST(IniText, NonPositiveSizeReadsEmpty) {
    EXPECT_EQ(ini::GetString("[S]\nk=1\n", "S", "k", "", 0), "");
    EXPECT_EQ(ini::GetString("[S]\nk=1\n", "S", "k", "", -5), "");
}

TEST(IniText, WrittenValuesReadBack) {
    std::string text;
    for (const char* key : {"报时设置", "格式设置", "广告设置", "关闭报时", "自动校时"}) {
        text = *ini::SetValue(text, "Tolvane", key, "2");
    }
    text = *ini::SetValue(text, "Tolvane", "广告日期", "2026|12|06");
    EXPECT_EQ(text,
              "[Tolvane]\r\n报时设置=2\r\n格式设置=2\r\n广告设置=2\r\n关闭报时=2\r\n自动校时=2\r\n"
              "广告日期=2026|12|06\r\n");
    EXPECT_EQ(ini::GetInt(text, "Tolvane", "关闭报时", 0), 2);
    EXPECT_EQ(ini::GetString(text, "Tolvane", "广告日期", "", 12), "2026|12|06");
}

TEST(IniText, HostileTextNeverBreaksParsing) {
    std::string garbage;
    std::uint32_t state = 12345;
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(state >> 24));
    }
    const std::string longLine(3 << 20, 'x');
    const std::vector<std::string> texts = {
        garbage,
        garbage + "\n[Tolvane]\nk=5\n",
        "[Tolvane]\nk=" + longLine + "\n",
        longLine,
        std::string(100000, '\n') + "[Tolvane]\nk=5",
        std::string(100000, '['),
        std::string(100000, '='),
        std::string(100000, '\r'),
    };
    for (const std::string& text : texts) {
        (void)ini::GetString(text, "Tolvane", "k", "", 12);
        (void)ini::GetInt(text, "Tolvane", "k", 0);
        std::optional<std::string> written = ini::SetValue(text, "Tolvane", "k", "7");
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(ini::GetInt(*written, "Tolvane", "k", 0), 7);
    }
    EXPECT_EQ(ini::GetInt(garbage + "\n[Tolvane]\nk=5\n", "Tolvane", "k", 0), 5);
    EXPECT_EQ(ini::GetString("[Tolvane]\nk=" + longLine + "\n", "Tolvane", "k", "", 12).size(),
              11u);
}

}  // namespace
}  // namespace tolvane::testing
