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

Announcer::Announcer(ClipPlayer& player, MessagePump& pump, Locale& locale, std::string soundFolder,
                     SoundFolders* folders)
    : m_player(player),
      m_pump(pump),
      m_locale(locale),
      m_soundFolder(std::move(soundFolder)),
      m_folders(folders) {}

void Announcer::AnnounceNow(const LocalDateTime& moment, AnnouncementStyle style) {
    if (m_busy) return;
    BusyScope busy(m_busy);
    m_volume = style.volume;
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
    for (const std::string& path :
         ClipPaths(words, ChoosePack(m_folders, m_soundFolder, style.pack))) {
        PlayClip(path);
    }
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

void Announcer::PlayClip(const std::string& path) {
    if (m_stopped) return;
    m_pump.DispatchPending();
    // The dispatch may have run the exit command.
    if (!m_stopped) m_player.PlaySync(path, m_volume);
}

}  // namespace tolvane
