#include "win32/Win32ClipPlayer.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <optional>

#include "voice/WavFile.h"
#include "win32/TextConversion.h"

namespace tolvane {
namespace {

// A word clip takes a few hundred kilobytes; a longer file plays its first part.
constexpr LONGLONG kMaxClipFileBytes = 16 << 20;

// The first kMaxClipFileBytes of a regular file, read in one go; nullopt when there is none.
std::optional<std::string> ReadClip(const std::string& path) {
    if (path.empty()) return std::nullopt;
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0) {
        std::string buffer(static_cast<std::size_t>(std::min(size.QuadPart, kMaxClipFileBytes)),
                           '\0');
        std::size_t done = 0;
        while (done < buffer.size()) {
            DWORD got = 0;
            if (!ReadFile(file, buffer.data() + done, static_cast<DWORD>(buffer.size() - done),
                          &got, nullptr) ||
                got == 0) {
                break;  // shrank while being read: what was read is the file
            }
            done += got;
        }
        buffer.resize(done);
        bytes = std::move(buffer);
    }
    CloseHandle(file);
    return bytes;
}

void PlayAlert() {
    // Asked for by name: some systems play no default sound for a file they cannot play.
    PlaySoundW(L"SystemDefault", nullptr, SND_ALIAS | SND_SYNC | SND_NODEFAULT);
}

}  // namespace

void Win32ClipPlayer::PlaySync(const std::string& path, int volumePercent) {
    // The system's own WAV parser never sees the file: a malformed header can hang it or make
    // it allocate gigabytes. It gets an image of the samples our parser has checked, or the
    // alert in the clip's place, exactly as for a missing file.
    std::optional<std::string> image;
    if (const std::optional<std::string> file = ReadClip(path)) {
        image = PlayableImage(*file, volumePercent);
    }
    if (!image || !PlaySoundW(reinterpret_cast<LPCWSTR>(image->data()), nullptr,
                              SND_MEMORY | SND_SYNC | SND_NODEFAULT)) {
        PlayAlert();
    }
}

}  // namespace tolvane
