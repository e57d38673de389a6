#include "settings/CustomVariables.h"

#include <gtest/gtest.h>

#include "fakes/MemoryProfileStore.h"

namespace tolvane::testing {
namespace {

constexpr char kFile[] = "/opt/tolvane/Value.ini";

struct LoadCase {
    const char* name;
    const char* file;  // nullptr: no file
    bool registered;
    SettingsRecord expected;
};

SettingsRecord Record(int frequency, int format, int advert, int off, int sync, int boot,
                      std::string date) {
    return SettingsRecord{frequency, format, advert, off, sync, boot, std::move(date)};
}

class LoadSettingsCase : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadSettingsCase, FillsEveryField) {
    const LoadCase& c = GetParam();
    fakes::MemoryProfileStore store;
    if (c.file != nullptr) store.files[kFile] = c.file;
    自定义变量 vars(store);
    vars.ConfigFile.SpecifyIni(kFile);
    LoadSettings(vars, [&] { return c.registered; });

    const SettingsRecord& s = vars.Settings;
    EXPECT_EQ(s.Frequency, c.expected.Frequency);
    EXPECT_EQ(s.AnnounceFormat, c.expected.AnnounceFormat);
    EXPECT_EQ(s.AdvertMode, c.expected.AdvertMode);
    EXPECT_EQ(s.AnnounceOff, c.expected.AnnounceOff);
    EXPECT_EQ(s.SyncTimerOff, c.expected.SyncTimerOff);
    EXPECT_EQ(s.StartAtBoot, c.expected.StartAtBoot);
    EXPECT_EQ(s.AdvertDate, c.expected.AdvertDate);
    EXPECT_EQ(s.VoicePack, c.expected.VoicePack);
    EXPECT_EQ((std::vector<int>{s.HalfHour, s.QuietStart, s.QuietEnd, s.Volume, s.Phrasing}),
              (std::vector<int>{c.expected.HalfHour, c.expected.QuietStart, c.expected.QuietEnd,
                                c.expected.Volume, c.expected.Phrasing}));
    EXPECT_EQ(vars.FrequencyHours, (std::array<std::int32_t, 3>{1, 2, 6}));
    EXPECT_EQ(store.CountOf("WriteString"), 0);
    EXPECT_EQ(store.files.count(kFile), c.file != nullptr ? 1u : 0u);
}

const LoadCase kLoadCases[] = {
    {"no_file", nullptr, false, Record(0, 0, 0, 0, 0, 0, "")},
    {"no_file_registered", nullptr, true, Record(0, 0, 0, 0, 0, 1, "")},
    {"full_file",
     "[Tolvane]\r\n报时设置=1\r\n格式设置=2\r\n广告设置=1\r\n关闭报时=1\r\n自动校时=1\r\n"
     "广告日期=2026|12|06\r\n",
     false, Record(1, 2, 1, 1, 1, 0, "2026|12|06")},
    {"partial_file", "[Tolvane]\n格式设置=2\n自动校时=1\n", false, Record(0, 2, 0, 0, 1, 0, "")},
    {"other_section_only", "[Other]\n报时设置=2\n", false, Record(0, 0, 0, 0, 0, 0, "")},
    {"garbage", "\x01\xff\xfe garbage = = [[ ]]\n\x80\x81", false, Record(0, 0, 0, 0, 0, 0, "")},
    {"out_of_range_kept", "[Tolvane]\n报时设置=5\n格式设置=-1\n关闭报时=2\n自动校时=2\n", false,
     Record(5, -1, 0, 2, 2, 0, "")},
    {"long_date_cut", "[Tolvane]\n广告日期=2026|12|06|extra\n", false,
     Record(0, 0, 0, 0, 0, 0, "2026|12|06|")},
    {"advanced_keys",
     "[Tolvane]\n半点报时=1\n安静开始=22：30\n安静结束=7:05\n报时音量=50\n报时说法=1\n", false,
     SettingsRecord{0, 0, 0, 0, 0, 0, "", 1, 1350, 425, 50, 1}},
    {"advanced_bad_values_read_as_missing",
     "[Tolvane]\n半点报时=2\n安静开始=25:61\n安静结束=07:00\n报时音量=300\n报时说法=text\n", false,
     SettingsRecord{0, 0, 0, 0, 0, 0, "", 0, -1, 420, 100, 0}},
    {"advanced_more_bad_values",
     "[Tolvane]\n半点报时=1x\n安静开始=22:0\n安静结束=-1:00\n报时音量=-5\n报时说法=0x1\n", false,
     SettingsRecord{0, 0, 0, 0, 0, 0, "", 0, -1, -1, 100, 0}},
    {"voice_pack", "[Tolvane]\n语音包=我的 声音\n", false,
     SettingsRecord{0, 0, 0, 0, 0, 0, "", 0, -1, -1, 100, 0, "我的 声音"}},
    {"busy_quiet", "[Tolvane]\n忙碌时不报时=1\n", false,
     SettingsRecord{0, 0, 0, 0, 0, 0, "", 0, -1, -1, 100, 0, "", 1}},
    {"advanced_zeros", "[Tolvane]\n半点报时=0\n安静开始=00:00\n安静结束=0:00\n报时音量=0\n", false,
     SettingsRecord{0, 0, 0, 0, 0, 0, "", 0, 0, 0, 0, 0}},
};

INSTANTIATE_TEST_SUITE_P(Cases, LoadSettingsCase, ::testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadSettings, ReadsInOrderFiveNumbersThenTheDate) {
    fakes::MemoryProfileStore store;
    store.files[kFile] = "[Tolvane]\n报时设置=1\n格式设置=1\n广告设置=1\n关闭报时=1\n自动校时=1\n";
    自定义变量 vars(store);
    vars.ConfigFile.SpecifyIni(kFile);
    LoadSettings(vars, nullptr);
    std::vector<std::string> keys;
    for (const auto& call : store.calls) keys.push_back(call.op + ":" + call.key);
    keys.resize(6);  // the 高级设置 page's keys come after these, in any order
    EXPECT_EQ(keys, (std::vector<std::string>{"GetInt:报时设置", "GetInt:格式设置",
                                              "GetInt:广告设置", "GetInt:关闭报时",
                                              "GetInt:自动校时", "GetString:广告日期"}));
    EXPECT_EQ(store.calls[5].argument, "/12");
    EXPECT_EQ(vars.Settings.StartAtBoot, 0);
}

TEST(LoadSettings, LeavesCannotReadAfterAMissingKey) {
    fakes::MemoryProfileStore store;
    自定义变量 vars(store);
    vars.ConfigFile.SpecifyIni(kFile);
    LoadSettings(vars, nullptr);
    // The date read comes last and succeeds as a read, so it clears the message.
    EXPECT_EQ(vars.ConfigFile.ErrorMsg, "");
    vars.ConfigFile.ReadInt("Tolvane", "自动校时");
    EXPECT_EQ(vars.ConfigFile.ErrorMsg, "不能读取 ");
}

}  // namespace
}  // namespace tolvane::testing
