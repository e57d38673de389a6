#pragma once

#include <string>
#include <vector>

#include "app/MainWindowCore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDateTimeFormatter.h"
#include "fakes/FakeLocale.h"
#include "fakes/FakeMessagePump.h"
#include "fakes/FakeTimeSocket.h"
#include "fakes/MemoryAutostartStore.h"
#include "fakes/MemoryProfileStore.h"
#include "fakes/MemorySoundFolders.h"
#include "fakes/RecordingAdvert.h"
#include "fakes/RecordingClipPlayer.h"
#include "fakes/RecordingClockSetter.h"
#include "fakes/RecordingShellWindows.h"

namespace tolvane::fakes {

// The main window's core with every service faked. Clips played go into the windows' log as
// "play <word>", with the volume unless it is 100, so that a test sees them in order with the
// shell's calls.
struct CoreRig {
    explicit CoreRig(ProgramFolder folder = {"C:\\T", '\\', "Tolvane.exe"},
                     bool withUpdateLibrary = true)
        : core(ShellServices{profiles, clock, player, pump, locale, formatter,
                             withUpdateLibrary ? &promo : nullptr, &socket, &setter, &store,
                             &folders},
               std::move(folder), windows) {
        player.whilePlaying = [this](const std::string&) {
            const int volume = player.volumes.back();
            windows.Do("play " + Words().back() +
                       (volume == 100 ? "" : " " + std::to_string(volume)));
        };
    }

    std::string Ini() const { return core.Folder().Join("Value.ini"); }
    // The clip words played so far, without the sound folder and ".wav".
    std::vector<std::string> Words() const {
        return player.Words(core.Folder().Join(std::string("Sound") + core.Folder().separator));
    }

    MemoryProfileStore profiles;
    FakeClock clock;
    RecordingClipPlayer player;
    FakeMessagePump pump;
    FakeLocale locale;
    FakeDateTimeFormatter formatter;
    RecordingPromo promo;
    FakeTimeSocket socket;
    RecordingClockSetter setter;
    MemoryAutostartStore store;
    RecordingShellWindows windows;
    MemorySoundFolders folders;
    MainWindowCore core;
};

}  // namespace tolvane::fakes
