#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Clock.h"
#include "voice/AnnouncementAudio.h"
#include "voice/Locale.h"
#include "voice/Phrasing.h"
#include "voice/SoundStream.h"
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
// pack's clips for them (a phrase clip for a run of words where the pack has one), read in order
// and joined into one stream that a thread of its own feeds to the device.
class Announcer {
public:
    // `soundFolder` ends with the platform's separator ("C:\T\Sound\", "/opt/t/Sound/");
    // empty when there is none, and then every clip is played as the empty path. Without
    // `folders` only the sound folder's word clips are played. `ownVoices` holds the user's
    // own packs (see VoicePlaces).
    Announcer(SoundStream& stream, SoundThread& thread, Locale& locale, std::string soundFolder,
              SoundFolders* folders = nullptr, std::string ownVoices = {});

    // Starts speaking and returns; busy until the last sample has been heard, and a request
    // meanwhile is dropped. With `startIn` the device opens now and is heard from then on.
    void AnnounceNow(const LocalDateTime& moment, AnnouncementStyle style,
                     std::chrono::microseconds startIn = {});
    bool AnnouncementBusy() const { return m_busy; }
    // Runs each time an announcement has been heard to its end (not after StopForExit), with the
    // clips of it that could not be played.
    using Ended = std::function<void(const std::vector<std::string>& unplayable)>;
    void SetEndedHandler(Ended ended) { m_ended = std::move(ended); }
    // Loads the sound system in the background, unless an announcement already has.
    void Prepare() { m_feeder.Prepare(); }
    // The sound stops at once and nothing is spoken from now on: the program is ending.
    void StopForExit();

private:
    using Words = std::vector<std::string>;
    void SpeakTime(Words& words, const LocalDateTime& moment, std::int32_t phrasing);
    static void SpeakDate(Words& words, const LocalDateTime& moment);
    void OnEnded(const std::vector<std::string>& unplayable);

    StreamFeeder m_feeder;
    Locale& m_locale;
    VoicePlaces m_voices;
    SoundFolders* m_folders;
    Ended m_ended;
    bool m_busy = false;
    bool m_stopped = false;
};

}  // namespace tolvane
