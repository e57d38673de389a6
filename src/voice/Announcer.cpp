#include "voice/Announcer.h"

#include <utility>

#include "voice/ChineseNumerals.h"

namespace tolvane {
namespace {

constexpr std::string_view kPrompt = "提示";
constexpr std::string_view kTimeNowIs = "现在时间";
constexpr std::string_view kTodayIs = "今天是";
constexpr std::string_view kYear = "年";
constexpr std::string_view kMonth = "月";
constexpr std::string_view kDay = "日";
constexpr std::string_view kWeek = "星期";
constexpr int kSunday = 1;

}  // namespace

Announcer::Announcer(SoundStream& stream, SoundThread& thread, Locale& locale,
                     std::string soundFolder, SoundFolders* folders, std::string ownVoices)
    : m_feeder(stream, thread),
      m_locale(locale),
      m_voices{std::move(soundFolder), std::move(ownVoices)},
      m_folders(folders) {}

void Announcer::AnnounceNow(const LocalDateTime& moment, AnnouncementStyle style,
                            std::chrono::microseconds startIn) {
    if (m_busy || m_stopped) return;
    // Reading the first clips and opening the device take part of the time before the start,
    // not added to it.
    std::optional<StreamFeeder::Instant> startAt;
    if (startIn.count() > 0) startAt = std::chrono::steady_clock::now() + startIn;
    m_busy = true;
    Words words{std::string(kPrompt)};
    switch (style.format) {
        case 0:
            SpeakTime(words, moment, style.phrasing);
            break;
        case 1:
            SpeakDate(words, moment);
            break;
        case 2:
            SpeakDate(words, moment);
            SpeakTime(words, moment, style.phrasing);
            break;
        default:
            break;
    }
    m_feeder.Start(
        ClipPaths(words, ChoosePack(m_folders, m_voices, style.pack)), style.volume,
        [this](const std::vector<std::string>& unplayable) { OnEnded(unplayable); }, startAt);
}

void Announcer::StopForExit() {
    m_stopped = true;
    m_feeder.StopForExit();
    m_busy = false;
}

void Announcer::OnEnded(const std::vector<std::string>& unplayable) {
    m_busy = false;
    if (m_ended) m_ended(unplayable);
}

void Announcer::SpeakTime(Words& words, const LocalDateTime& moment, std::int32_t phrasing) {
    words.emplace_back(kTimeNowIs);
    const std::string halfDay = HalfDayWord(m_locale.HalfDayDesignator(moment), moment.hour);
    for (std::string& word : TimeWords(moment.hour, moment.minute, phrasing, halfDay)) {
        words.push_back(std::move(word));
    }
}

void Announcer::SpeakDate(Words& words, const LocalDateTime& moment) {
    const auto numeral = [&words](int value, bool digitByDigit) {
        for (std::string& character :
             Utf8Characters(ToChineseNumerals(value, false, digitByDigit))) {
            words.push_back(std::move(character));
        }
    };
    words.emplace_back(kTodayIs);
    numeral(moment.year, true);
    words.emplace_back(kYear);
    numeral(moment.month, false);
    words.emplace_back(kMonth);
    numeral(moment.day, false);
    words.emplace_back(kDay);
    words.emplace_back(kWeek);
    if (moment.weekday == kSunday) {
        words.emplace_back(kDay);
    } else {
        // The weekday is one clip named by the whole numeral text.
        words.push_back(ToChineseNumerals(moment.weekday - 1, false, false));
    }
}

}  // namespace tolvane
