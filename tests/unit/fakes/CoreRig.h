#pragma once

#include <algorithm>
#include <array>
#include <functional>
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
#include "fakes/RecordingClockSetter.h"
#include "fakes/RecordingShellWindows.h"
#include "fakes/RecordingSoundStream.h"

namespace tolvane::fakes {

// One desktop signal, as the test sets it.
struct FakeSignalSource final : DesktopSignalSource {
    void Refresh() override {
        if (onRefresh) onRefresh();
    }
    SignalState State() const override { return state; }

    SignalState state = SignalState::Unknown;
    std::function<void()> onRefresh;
};

// The main window's core with every service faked. Clips read go into the windows' log as
// "play <word>", and the end of the sound as "silenced" when it was cut short or with its
// volume unless it is 100, so that a test sees them in order with the shell's calls.
struct CoreRig {
    explicit CoreRig(ProgramFolder folder = {"C:\\T", '\\', "Tolvane.exe"},
                     bool withUpdateLibrary = true)
        : core(ShellServices{profiles, clock, player, player, pump, locale, formatter,
                             withUpdateLibrary ? &promo : nullptr, &socket, &setter, &store,
                             &folders, Pointers(signals)},
               std::move(folder), windows) {
        player.readHook = [this] { windows.Do("play " + Words().back()); };
        signals[0].onRefresh = [this] { windows.Do("ask"); };
        player.onSilenced = [this] { windows.Do("silenced"); };
        player.onClosed = [this] {
            const int peak = player.written.empty()
                                 ? 0
                                 : *std::max_element(player.written.begin(), player.written.end());
            if (peak != 0 && peak != 10000) windows.Do("heard at " + std::to_string(peak / 100));
        };
    }

    static std::array<DesktopSignalSource*, kDesktopSignals> Pointers(
        std::array<FakeSignalSource, kDesktopSignals>& sources) {
        return {&sources[0], &sources[1], &sources[2], &sources[3]};
    }

    std::string Ini() const { return core.Folder().Join("Value.ini"); }
    // The clip words played so far, without the sound folder and ".wav".
    std::vector<std::string> Words() const {
        return player.Words(core.Folder().Join(std::string("Sound") + core.Folder().separator));
    }

    MemoryProfileStore profiles;
    FakeClock clock;
    RecordingSoundStream player;
    FakeMessagePump pump;
    FakeLocale locale;
    FakeDateTimeFormatter formatter;
    RecordingPromo promo;
    FakeTimeSocket socket;
    RecordingClockSetter setter;
    MemoryAutostartStore store;
    RecordingShellWindows windows;
    MemorySoundFolders folders;
    // By DesktopSignal; a look at the desktop goes into the log as "ask".
    std::array<FakeSignalSource, kDesktopSignals> signals;
    MainWindowCore core;
};

}  // namespace tolvane::fakes
