#include "win32/Win32ClipPlayer.h"

#include <windows.h>

#include <mmsystem.h>

#include "win32/TextConversion.h"

namespace tolvane {

void Win32ClipPlayer::PlaySync(const std::string& path) {
    // The wide call reaches folders whose names the ANSI code page cannot spell. A clip that
    // cannot be played gets the system's default sound in its place; asking for it explicitly
    // gives the same result on every system (some play no default for a missing file name).
    if (!PlaySoundW(Utf8ToWide(path).c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT)) {
        PlaySoundW(L"SystemDefault", nullptr, SND_ALIAS | SND_SYNC | SND_NODEFAULT);
    }
}

}  // namespace tolvane
