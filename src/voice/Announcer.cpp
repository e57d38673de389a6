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

class BusyScope {
public:
    explicit BusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
};

}  // namespace

Announcer::Announcer(ClipPlayer& player, MessagePump& pump, Locale& locale, std::string soundFolder)
    : m_player(player), m_pump(pump), m_locale(locale), m_soundFolder(std::move(soundFolder)) {}

void Announcer::AnnounceNow(const LocalDateTime& moment, AnnouncementStyle style) {
    if (m_busy) return;
    BusyScope busy(m_busy);
    m_volume = style.volume;
    PlayWord(kPrompt);
    switch (style.format) {
        case 0:
            SpeakTime(moment, style.phrasing);
            break;
        case 1:
            SpeakDate(moment);
            break;
        case 2:
            SpeakDate(moment);
            SpeakTime(moment, style.phrasing);
            break;
        default:
            break;
    }
}

void Announcer::SpeakTime(const LocalDateTime& moment, std::int32_t phrasing) {
    PlayWord(kTimeNowIs);
    const std::string halfDay = HalfDayWord(m_locale.HalfDayDesignator(moment), moment.hour);
    for (const std::string& word : TimeWords(moment.hour, moment.minute, phrasing, halfDay)) {
        PlayWord(word);
    }
}

void Announcer::SpeakDate(const LocalDateTime& moment) {
    PlayWord(kTodayIs);
    PlayNumeral(moment.year, true);
    PlayWord(kYear);
    PlayNumeral(moment.month, false);
    PlayWord(kMonth);
    PlayNumeral(moment.day, false);
    PlayWord(kDay);
    PlayWord(kWeek);
    if (moment.weekday == kSunday) {
        PlayWord(kDay);
    } else {
        // The weekday is one clip named by the whole numeral text.
        PlayWord(ToChineseNumerals(moment.weekday - 1, false, false));
    }
}

void Announcer::PlayClip(const std::string& path) {
    if (m_stopped) return;
    m_pump.DispatchPending();
    // The dispatch may have run the exit command.
    if (!m_stopped) m_player.PlaySync(path, m_volume);
}

void Announcer::PlayWord(std::string_view word) {
    // Without a sound folder every clip is one that cannot be played: the player's alert.
    PlayClip(m_soundFolder.empty() ? std::string() : m_soundFolder + std::string(word) + ".wav");
}

void Announcer::PlayNumeral(int value, bool digitByDigit) {
    for (const std::string& character :
         Utf8Characters(ToChineseNumerals(value, false, digitByDigit))) {
        PlayWord(character);
    }
}

}  // namespace tolvane
