#include "voice/Announcer.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fakes/FakeClock.h"
#include "fakes/FakeLocale.h"
#include "fakes/MemorySoundFolders.h"
#include "fakes/RecordingSoundStream.h"
#include "voice/WavFile.h"

namespace tolvane::testing {
namespace {

using fakes::At;

constexpr char kSound[] = "C:\\Apps\\T\\Sound\\";

std::vector<std::string> Split(const std::string& words) {
    std::vector<std::string> out;
    std::istringstream in(words);
    for (std::string word; in >> word;) out.push_back(word);
    return out;
}

struct Speaker {
    explicit Speaker(int format, fakes::FakeLocale locale = {}) : locale(std::move(locale)) {
        style.format = format;
    }
    std::vector<std::string> Say(const LocalDateTime& moment) {
        announcer.AnnounceNow(moment, style);
        player.PlayOut();
        return player.Words(kSound);
    }
    fakes::RecordingSoundStream player;
    fakes::FakeLocale locale;
    AnnouncementStyle style;
    Announcer announcer{player, player, locale, kSound};
};

struct SequenceRow {
    LocalDateTime moment;
    int format;
    const char* clips;
    int phrasing = 0;
};

TEST(AnnounceNow, PlaysTheWorkedSequences) {
    const SequenceRow rows[] = {
        {At(2010, 7, 28, 10, 0), 2,
         "提示 今天是 二 零 一 零 年 七 月 二 十 八 日 星期 三 现在时间 上午 十 点 整"},
        {At(2010, 7, 28, 15, 45), 0, "提示 现在时间 下午 三 点 四 十 五 分"},
        {At(2010, 7, 28, 0, 5), 0, "提示 现在时间 上午 十 二 点 五 分"},
        {At(2010, 7, 28, 12, 10), 0, "提示 现在时间 下午 十 二 点 十 分"},
        {At(2010, 7, 28, 9, 31), 0, "提示 现在时间 上午 九 点 三 十 一 分"},
        {At(2026, 12, 6, 8, 0), 1, "提示 今天是 二 零 二 六 年 十 二 月 六 日 星期 日"},
        {At(2011, 1, 1, 8, 0), 1, "提示 今天是 二 零 一 一 年 一 月 一 日 星期 六"},
        {At(2011, 1, 1, 8, 0), 3, "提示"},
        {At(2011, 1, 1, 8, 0), -1, "提示"},
        // more edges: minute 1..9, hour 0 and 12, month and day 10/11/20/31, Monday, year 2000
        {At(2010, 7, 28, 10, 5), 0, "提示 现在时间 上午 十 点 五 分"},
        {At(2010, 7, 28, 0, 0), 0, "提示 现在时间 上午 十 二 点 整"},
        {At(2010, 7, 28, 12, 0), 0, "提示 现在时间 下午 十 二 点 整"},
        {At(2010, 7, 28, 23, 59), 0, "提示 现在时间 下午 十 一 点 五 十 九 分"},
        {At(2000, 10, 11, 1, 0), 1, "提示 今天是 二 零 零 零 年 十 月 十 一 日 星期 三"},
        {At(2021, 1, 20, 1, 0), 1, "提示 今天是 二 零 二 一 年 一 月 二 十 日 星期 三"},
        {At(2021, 5, 31, 1, 0), 1, "提示 今天是 二 零 二 一 年 五 月 三 十 一 日 星期 一"},
        {At(2100, 12, 31, 18, 30), 2,
         "提示 今天是 二 一 零 零 年 十 二 月 三 十 一 日 星期 五 现在时间 下午 六 点 三 十 分"},
        // natural phrasing changes the time only
        {At(2010, 7, 28, 14, 30), 2,
         "提示 今天是 二 零 一 零 年 七 月 二 十 八 日 星期 三 现在时间 下午 两 点 半", 1},
        {At(2011, 1, 1, 2, 0), 1, "提示 今天是 二 零 一 一 年 一 月 一 日 星期 六", 1},
    };
    for (const SequenceRow& row : rows) {
        Speaker speaker(row.format);
        speaker.style.phrasing = row.phrasing;
        EXPECT_EQ(speaker.Say(row.moment), Split(row.clips))
            << row.moment.year << "-" << row.moment.month << "-" << row.moment.day << " "
            << row.moment.hour << ":" << row.moment.minute << " format " << row.format;
        EXPECT_FALSE(speaker.announcer.AnnouncementBusy());
    }
}

TEST(AnnounceNow, BuildsEachPathFromTheSoundFolder) {
    Speaker speaker(0);
    speaker.announcer.AnnounceNow(At(2010, 7, 28, 15, 45), speaker.style);
    ASSERT_FALSE(speaker.player.played.empty());
    EXPECT_EQ(speaker.player.played.front(), "C:\\Apps\\T\\Sound\\提示.wav");
    EXPECT_EQ(speaker.player.played.back(), "C:\\Apps\\T\\Sound\\分.wav");
}

// The device is fed from its ticks: every clip is read before the first sample is written, and
// the announcement stays busy, dropping requests, until the device has played its last sample.
TEST(AnnounceNow, ARequestWhileTheDeviceHoldsSoundIsDroppedNotQueued) {
    Speaker speaker(0);
    int nested = 0;
    speaker.player.beforeTick = [&](int tick) {
        EXPECT_TRUE(speaker.announcer.AnnouncementBusy());
        EXPECT_EQ(speaker.player.played.size(), 9u);
        if (tick == 3 || speaker.player.queued <= 1000) {
            speaker.announcer.AnnounceNow(At(2010, 7, 28, 11, 0), speaker.style);
            ++nested;
        }
    };
    EXPECT_EQ(speaker.Say(At(2010, 7, 28, 15, 45)), Split("提示 现在时间 下午 三 点 四 十 五 分"));
    EXPECT_GE(nested, 2);
    EXPECT_EQ(speaker.player.opens, 1);
    EXPECT_FALSE(speaker.announcer.AnnouncementBusy());

    // Once the flag is clear a new request speaks again, and so it does without a device.
    speaker.player.beforeTick = nullptr;
    speaker.player.played.clear();
    EXPECT_EQ(speaker.Say(At(2010, 7, 28, 11, 0)), Split("提示 现在时间 上午 十 一 点 整"));
    speaker.player.hasDevice = false;
    speaker.announcer.AnnounceNow(At(2010, 7, 28, 11, 0), speaker.style);
    EXPECT_FALSE(speaker.announcer.AnnouncementBusy());
}

TEST(AnnounceNow, FormatChangedMidwayAppliesNextTime) {
    Speaker speaker(0);
    speaker.player.beforeTick = [&](int) { speaker.style.format = 1; };
    EXPECT_EQ(speaker.Say(At(2010, 7, 28, 10, 0)), Split("提示 现在时间 上午 十 点 整"));
}

TEST(HalfDayWord, MapsLocaleDesignators) {
    const struct {
        const char* designator;
        int hour;
        const char* word;
    } rows[] = {
        {"AM", 9, "上午"}, {"PM", 15, "下午"},    {"上午", 9, "上午"}, {"下午", 15, "下午"},
        {"am", 9, "am"},   {"vorm.", 9, "vorm."}, {"", 0, "上午"},     {"", 11, "上午"},
        {"", 12, "下午"},  {"", 23, "下午"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(HalfDayWord(row.designator, row.hour), row.word) << row.designator;
    }
}

// Every hour on the hour and at half past, then other minutes, as written by hand.
TEST(TimeWords, NaturalMandarinForEveryHourAndStandardOtherwise) {
    const struct {
        int hour;
        const char* onTheHour;
        const char* halfPast;
    } natural[] = {
        {0, "凌晨 十 二 点 整", "凌晨 十 二 点 半"},  {1, "凌晨 一 点 整", "凌晨 一 点 半"},
        {2, "凌晨 两 点 整", "凌晨 两 点 半"},        {3, "凌晨 三 点 整", "凌晨 三 点 半"},
        {4, "凌晨 四 点 整", "凌晨 四 点 半"},        {5, "早上 五 点 整", "早上 五 点 半"},
        {6, "早上 六 点 整", "早上 六 点 半"},        {7, "早上 七 点 整", "早上 七 点 半"},
        {8, "上午 八 点 整", "上午 八 点 半"},        {9, "上午 九 点 整", "上午 九 点 半"},
        {10, "上午 十 点 整", "上午 十 点 半"},       {11, "上午 十 一 点 整", "上午 十 一 点 半"},
        {12, "中午 十 二 点 整", "中午 十 二 点 半"}, {13, "下午 一 点 整", "下午 一 点 半"},
        {14, "下午 两 点 整", "下午 两 点 半"},       {15, "下午 三 点 整", "下午 三 点 半"},
        {16, "下午 四 点 整", "下午 四 点 半"},       {17, "下午 五 点 整", "下午 五 点 半"},
        {18, "晚上 六 点 整", "晚上 六 点 半"},       {19, "晚上 七 点 整", "晚上 七 点 半"},
        {20, "晚上 八 点 整", "晚上 八 点 半"},       {21, "晚上 九 点 整", "晚上 九 点 半"},
        {22, "晚上 十 点 整", "晚上 十 点 半"},       {23, "晚上 十 一 点 整", "晚上 十 一 点 半"},
    };
    for (const auto& row : natural) {
        EXPECT_EQ(TimeWords(row.hour, 0, 1, "?"), Split(row.onTheHour)) << row.hour;
        EXPECT_EQ(TimeWords(row.hour, 30, 1, "?"), Split(row.halfPast)) << row.hour;
    }
    const struct {
        int hour, minute, phrasing;
        const char* words;
    } others[] = {
        {2, 5, 1, "凌晨 两 点 零 五 分"},      {12, 45, 1, "中午 十 二 点 四 十 五 分"},
        {22, 10, 1, "晚上 十 点 十 分"},       {14, 30, 0, "下午 二 点 三 十 分"},
        {14, 5, 0, "下午 二 点 五 分"},        {2, 0, 7, "上午 二 点 整"},
        {0, 30, -1, "上午 十 二 点 三 十 分"},
    };
    for (const auto& row : others) {
        const std::string halfDay = row.hour < 12 ? "上午" : "下午";
        EXPECT_EQ(TimeWords(row.hour, row.minute, row.phrasing, halfDay), Split(row.words))
            << row.hour << ":" << row.minute << " phrasing " << row.phrasing;
    }
}

TEST(AnnounceNow, UsesTheLocaleDesignatorAsTheClipName) {
    Speaker english(0, fakes::FakeLocale("AM", "PM"));
    EXPECT_EQ(english.Say(At(2010, 7, 28, 15, 45))[2], "下午");
    Speaker other(0, fakes::FakeLocale("a.m.", "p.m."));
    EXPECT_EQ(other.Say(At(2010, 7, 28, 9, 45))[2], "a.m.");
}

// From the left, the longest run of words the pack has one clip for, else the word's own clip.
TEST(ClipPaths, TheLongestRunFromTheLeft) {
    const struct {
        const char* clips;  // phrase clips in the pack
        const char* words;
        const char* played;
    } rows[] = {
        {"", "提示 现在时间 上午 十 点 整", "提示 现在时间 上午 十 点 整"},
        {"现在时间上午 十点", "现在时间 上午 十 点 整", "现在时间上午 十点 整"},
        {"十点 点整", "上午 十 点 整", "上午 十点 整"},
        {"点整 十点整", "上午 十 点 整", "上午 十点整"},
        {"点整 十二点", "十 二 点 整", "十二点 整"},
        {"二点 点整", "十 二 点 整", "十 二点 整"},
        {"二零一零 一零年", "二 零 一 零 年", "二零一零 年"},
        {"十二 十二点整", "下午 十 二 点 五 分", "下午 十二 点 五 分"},
        {"五分", "四 十 五 分", "四 十 五分"},
    };
    for (const auto& row : rows) {
        VoicePack pack{kSound, {}};
        for (std::string& clip : Split(row.clips)) pack.clips.insert(std::move(clip));
        std::vector<std::string> expected;
        for (const std::string& clip : Split(row.played))
            expected.push_back(kSound + clip + ".wav");
        EXPECT_EQ(ClipPaths(Split(row.words), pack), expected) << row.clips << " | " << row.words;
    }
    EXPECT_EQ(ClipPaths(Split("十 点"), VoicePack{"", {"十点"}}),
              (std::vector<std::string>{"", ""}));
}

// 语音包 names a folder that holds every clip, the user's own first; anything else is Sound
// itself, and the pack check says what the named folder lacks.
TEST(ChoosePack, AWholePackOrTheSoundFolder) {
    fakes::MemorySoundFolders folders;
    const std::string sound = kSound;
    const std::string own = "D:\\Own\\";
    folders.AddPack(sound, {"十点"});
    for (const char* pack : {"男声\\", "a..b\\", "两处\\"}) folders.AddPack(sound + pack);
    folders.AddPack(own + "我的\\");
    folders.folders[own + "两处\\"] = {"提示"};
    folders.AddPack(sound + "少了\\");
    std::erase_if(folders.folders[sound + "少了\\"],
                  [](auto& c) { return c == "三" || c == "七"; });
    const struct {
        const char* name;
        std::string folder;
        const char* missing;  // "-" none, "*" every clip
    } rows[] = {
        // clang-format off
        {"", sound, "-"}, {"男声", sound + "男声\\", "-"}, {"我的", own + "我的\\", "-"},
        {"两处", sound + "两处\\", "-"}, {"少了", sound, "三.wav、七.wav"}, {"没有", sound, "*"},
        {"..", sound, "*"}, {"a..b", sound, "*"}, {"男声\\..\\..", sound, "*"}, {"男声/", sound, "*"},
        {"C:男声", sound, "*"}, {".", sound, "*"},
        // clang-format on
    };
    const std::string every = ClipListText({PackClips().begin(), PackClips().end()});
    for (const auto& row : rows) {
        const VoicePack pack = ChoosePack(&folders, {sound, own}, row.name);
        EXPECT_EQ(pack.folder, row.folder) << row.name;
        EXPECT_EQ(pack.clips.contains("十点"), row.folder == sound) << row.name;
        const auto missing = MissingClips(&folders, {sound, own}, row.name);
        EXPECT_EQ(missing ? ClipListText(*missing) : "-",
                  std::string(row.missing) == "*" ? every : row.missing)
            << row.name;
    }
    EXPECT_EQ(ChoosePack(nullptr, {sound}, "男声").folder, sound);
    // Whole packs first, no folder without a clip; past the first folders only the chosen one.
    EXPECT_EQ(FindVoices(&folders, {sound, own}),
              (std::vector<VoiceFolder>{{"两处"}, {"我的"}, {"男声"}, {"少了", {"三", "七"}}}));
    for (std::size_t i = 0; i < kMaxVoiceFolders; ++i)
        folders.AddPack(sound + "p" + std::to_string(i) + "\\");
    const std::vector<VoiceFolder> capped = FindVoices(&folders, {sound, own}, "男声");
    EXPECT_EQ(capped.size(), kMaxVoiceFolders + 1);
    EXPECT_EQ(capped.back().name, "男声");
}

TEST(PackClips, HoldEveryWordAnAnnouncementSpeaks) {
    const std::set<std::string> pack(PackClips().begin(), PackClips().end());
    for (int format = 0; format <= 2; ++format) {
        for (int phrasing = 0; phrasing <= 1; ++phrasing) {
            for (int minutes = 0; minutes < 24 * 60; minutes += 1) {
                Speaker speaker(format);
                speaker.style.phrasing = phrasing;
                for (const std::string& word : speaker.Say(At(
                         2026, 1 + minutes % 12, 1 + minutes % 31, minutes / 60, minutes % 60))) {
                    ASSERT_TRUE(pack.contains(word)) << word;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
