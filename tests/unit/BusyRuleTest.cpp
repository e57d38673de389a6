#include "app/BusyRule.h"

#include <gtest/gtest.h>

#include "fakes/FakeClock.h"

namespace tolvane::testing {
namespace {

using fakes::At;

LocalDateTime Today(const char* hhmmss) {
    const std::string t = hhmmss;
    return At(2010, 7, 28, std::stoi(t.substr(0, 2)), std::stoi(t.substr(3, 2)),
              std::stoi(t.substr(6, 2)));
}

// Signals as four marks, locked, do-not-disturb, full screen, microphone: 'x' on, '-' off,
// '?' unknown. The moment is 10:00:00; "why" names the signal, "" for none.
TEST(DecideAnnouncement, SignalsSettingWaitLimitPauseAndQuietHours) {
    const struct {
        const char* signals;
        bool setting;
        const char* now;
        Verdict verdict;
        const char* why;
        const char* pausedUntil = nullptr;
        int quietStart = -1, quietEnd = -1;
    } rows[] = {
        // clang-format off
        {"????", true, "10:00:00", Verdict::Speak, ""}, {"----", true, "10:00:00", Verdict::Speak, ""},
        // each signal without the setting, then with it
        {"x---", false, "10:00:00", Verdict::Speak, ""}, {"x---", true, "10:00:00", Verdict::Skip, "Locked"},
        {"-x--", false, "10:00:00", Verdict::Speak, ""}, {"-x--", true, "10:00:00", Verdict::Skip, "DoNotDisturb"},
        {"--x-", false, "10:00:00", Verdict::Speak, ""}, {"--x-", true, "10:00:00", Verdict::Wait, "FullScreen"},
        {"---x", false, "10:00:00", Verdict::Speak, ""}, {"---x", true, "10:09:59", Verdict::Wait, "Microphone"},
        // the wait's limit
        {"--x-", true, "10:10:00", Verdict::Skip, "FullScreen"}, {"---x", true, "10:25:00", Verdict::Skip, "Microphone"},
        // a skip outranks a wait
        {"x-xx", true, "10:00:00", Verdict::Skip, "Locked"}, {"--xx", true, "10:00:00", Verdict::Wait, "FullScreen"},
        // a pause skips whatever the setting, and ends on its minute
        {"----", false, "10:00:00", Verdict::Skip, "", "10:00:01"}, {"x---", true, "10:00:00", Verdict::Skip, "", "11:00:00"},
        {"----", false, "10:00:00", Verdict::Speak, "", "10:00:00"},
        // a moment that waited into the quiet span keeps quiet; one still in its minute speaks
        {"----", true, "10:01:00", Verdict::Skip, "", nullptr, 601, 660}, {"----", true, "10:00:59", Verdict::Speak, "", nullptr, 601, 660},
        {"----", false, "10:01:00", Verdict::Speak, "", nullptr, 601, 660}, {"--x-", true, "10:01:00", Verdict::Wait, "FullScreen", nullptr, 601, 660},
        // clang-format on
    };
    const char* names[] = {"Locked", "DoNotDisturb", "FullScreen", "Microphone"};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.signals) + (row.setting ? " on " : " off ") + row.now);
        BusyInputs inputs{{}, row.setting, std::nullopt, row.quietStart, row.quietEnd};
        for (std::size_t i = 0; i < kDesktopSignals; ++i) {
            inputs.states[i] = row.signals[i] == 'x'   ? SignalState::On
                               : row.signals[i] == '-' ? SignalState::Off
                                                       : SignalState::Unknown;
        }
        if (row.pausedUntil) inputs.pausedUntil = UtcSeconds(Today(row.pausedUntil));
        const BusyVerdict verdict = DecideAnnouncement(inputs, Today("10:00:00"), Today(row.now));
        EXPECT_EQ(verdict.verdict, row.verdict);
        EXPECT_EQ(verdict.why ? names[static_cast<int>(*verdict.why)] : "", std::string(row.why));
    }
}

TEST(Pause, EndsAnHourFromItsMinuteOrAtTheNextMorningAndItsKeyReadsBack) {
    fakes::FakeClock clock;
    const struct {
        const char* now;
        PauseChoice choice;
        int quietStart, quietEnd;
        const char* key;
    } rows[] = {
        {"14:23:40", PauseChoice::OneHour, -1, -1, "2010-07-28 15:23"},
        {"23:30:00", PauseChoice::OneHour, -1, -1, "2010-07-29 00:30"},
        {"14:23:40", PauseChoice::UntilMorning, -1, -1, "2010-07-29 07:00"},
        {"02:00:00", PauseChoice::UntilMorning, -1, -1, "2010-07-28 07:00"},
        {"07:00:00", PauseChoice::UntilMorning, -1, -1, "2010-07-29 07:00"},
        {"23:00:00", PauseChoice::UntilMorning, 8 * 60, 8 * 60, "2010-07-29 07:00"},
    };
    for (const auto& row : rows) {
        const int morning = PauseMorningMinute(row.quietStart, row.quietEnd);
        const std::int64_t end = PauseEnd(row.choice, Today(row.now), morning, clock);
        EXPECT_EQ(PauseKeyText(clock.LocalAt(end)), row.key) << row.now;
        EXPECT_EQ(ParsePauseKey(row.key, clock), end) << row.key;
    }
    for (const char* bad : {"", "2010-07-28 7:00", "2010-02-30 07:00", "2010-07-28 24:00",
                            "2010/07/28 07:00", "2010-07-28 07:00 ", "２010-07-28 07:00"}) {
        EXPECT_EQ(ParsePauseKey(bad, clock), std::nullopt) << bad;
    }
}

}  // namespace
}  // namespace tolvane::testing
