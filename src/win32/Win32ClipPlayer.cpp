#include "win32/Win32ClipPlayer.h"

#include <windows.h>
#include <mmsystem.h>

#include "win32/TextConversion.h"

namespace tolvane {

void Win32ClipPlayer::PlaySync(const std::string& path) {
    // The wide call reaches folders whose names the ANSI code page cannot spell; without
    // SND_NODEFAULT a missing file plays the system's default sound.
    PlaySoundW(Utf8ToWide(path).c_str(), nullptr, SND_FILENAME | SND_SYNC);
}

}  // namespace tolvane
