#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "base/MessagePump.h"
#include "voice/ClipPlayer.h"
#include "voice/Locale.h"
#include "voice/Phrasing.h"
#include "voice/VoicePack.h"

namespace tolvane {

// What one announcement says, taken when it starts: a change while it speaks waits for the next.
struct AnnouncementStyle {
    std::int32_t format = 0;    // 0 the time, 1 the date, 2 the date then the time; else the prompt
    std::int32_t phrasing = 0;  // a Phrasing of the time of day
    std::int32_t volume = 100;  // percent of the clips' recorded level
    std::string pack;           // the voice pack's folder name; empty: the sound folder itself
};

// Speaks a moment as a chain of clips from a voice pack: first the announcement's words, then the
// pack's clips for them (a phrase clip for a run of words where the pack has one), then each
// clip played.
class Announcer {
public:
    // `soundFolder` ends with the platform's separator ("C:\T\Sound\", "/opt/t/Sound/");
    // empty when there is none, and then every clip is played as the empty path. Without
    // `folders` only the sound folder's word clips are played.
    Announcer(ClipPlayer& player, MessagePump& pump, Locale& locale, std::string soundFolder,
              SoundFolders* folders = nullptr);

    // Returns when the last clip has ended; dropped while another announcement is speaking
    // (it can be reached again from the messages dispatched between clips).
    void AnnounceNow(const LocalDateTime& moment, AnnouncementStyle style);
    bool AnnouncementBusy() const { return m_busy; }
    // No clip is played from now on: the program is ending.
    void StopForExit() { m_stopped = true; }

private:
    using Words = std::vector<std::string>;
    void SpeakTime(Words& words, const LocalDateTime& moment, std::int32_t phrasing);
    static void SpeakDate(Words& words, const LocalDateTime& moment);
    void PlayClip(const std::string& path);

    ClipPlayer& m_player;
    MessagePump& m_pump;
    Locale& m_locale;
    std::string m_soundFolder;
    SoundFolders* m_folders;
    int m_volume = 100;
    bool m_busy = false;
    bool m_stopped = false;
};

}  // namespace tolvane
