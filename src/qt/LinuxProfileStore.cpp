#include "qt/LinuxProfileStore.h"

#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "qt/PosixFile.h"
#include "settings/IniText.h"

namespace tolvane {
namespace {

bool HasWriteBits(mode_t mode) {
    return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// A symlinked settings file is updated where it points, not replaced by a plain file.
std::string ResolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

bool IsUtf16(const std::string& text) {
    return text.size() >= 2 &&
           ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'));
}

// A folder or file marked read-only is left alone, even for a user who could override it.
bool MayReplace(const std::string& path, const struct stat* old) {
    struct stat folder {};
    const std::string folderPath = FolderOf(path);
    return ::stat(folderPath.c_str(), &folder) == 0 && HasWriteBits(folder.st_mode) &&
           (old == nullptr || HasWriteBits(old->st_mode)) &&
           ::access(folderPath.c_str(), W_OK) == 0;
}

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            least = 0x10000;
        } else if (lead >= 0x80) {
            return false;
        }
        if (length > text.size() - i) return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

// The whole text in another encoding; nullopt when any of it cannot be converted.
std::optional<std::string> Recode(const std::string& text, const char* from, const char* to) {
    iconv_t converter = ::iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* next = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0 && ok) {
        if (::iconv(converter, &in, &inLeft, &next, &outLeft) != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno != E2BIG) {
            ok = false;
            break;
        }
        const std::size_t used = static_cast<std::size_t>(next - out.data());
        out.resize(out.size() * 2);
        next = out.data() + used;
        outLeft = out.size() - used;
    }
    // A shift state or a cut character at the end is an error too.
    ok =
        ok && ::iconv(converter, nullptr, nullptr, &next, &outLeft) != static_cast<std::size_t>(-1);
    ::iconv_close(converter);
    if (!ok) return std::nullopt;
    out.resize(static_cast<std::size_t>(next - out.data()));
    return out;
}

// A settings file copied from the Windows program is in the ANSI code page of a Chinese
// system; GB18030 reads every GBK file and encodes every character.
constexpr char kWindowsEncoding[] = "GB18030";

// The file's text as UTF-8; Missing when it does not exist, Failed when it cannot be read or
// is not a settings file we can safely rewrite. `wasGb18030` tells whether the file itself is
// in the Windows program's encoding; text that is neither is passed on as it stands.
ReadStatus ReadFile(const std::string& path, std::string& text, bool* wasGb18030 = nullptr) {
    if (wasGb18030 != nullptr) *wasGb18030 = false;
    const ReadStatus status = ReadRegularFile(path, LinuxProfileStore::kMaxFileBytes, text);
    if (status != ReadStatus::Ok) return status;
    if (IsUtf16(text)) return ReadStatus::Failed;
    if (!IsUtf8(text)) {
        if (std::optional<std::string> utf8 = Recode(text, kWindowsEncoding, "UTF-8")) {
            text = std::move(*utf8);
            if (wasGb18030 != nullptr) *wasGb18030 = true;
        }
    }
    return ReadStatus::Ok;
}

}  // namespace

std::string LinuxProfileStore::GetString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue, std::int32_t size,
                                         const std::string& file) {
    std::string text;
    if (ReadFile(file, text) != ReadStatus::Ok) text.clear();
    return ini::GetString(text, section, key, defaultValue, size);
}

std::int32_t LinuxProfileStore::GetInt(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue, const std::string& file) {
    std::string text;
    if (ReadFile(file, text) != ReadStatus::Ok) return defaultValue;
    return ini::GetInt(text, section, key, defaultValue);
}

bool LinuxProfileStore::WriteString(std::string_view section, std::string_view key,
                                    std::string_view value, const std::string& file) {
    const std::string path = ResolveTarget(file);
    std::string text;
    bool wasGb18030 = false;
    const ReadStatus status = ReadFile(path, text, &wasGb18030);
    if (status == ReadStatus::Failed) return false;
    std::optional<std::string> updated = ini::SetValue(text, section, key, value);
    if (!updated) return false;
    if (status == ReadStatus::Ok && *updated == text) return true;
    // The file keeps its own encoding, so that no file ever holds two.
    if (wasGb18030) updated = Recode(*updated, "UTF-8", kWindowsEncoding);
    if (!updated) return false;
    struct stat old {};
    const bool exists = status == ReadStatus::Ok && ::stat(path.c_str(), &old) == 0;
    if (!MayReplace(path, exists ? &old : nullptr)) return false;
    return ReplaceAtomically(path, *updated,
                             exists ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt);
}

}  // namespace tolvane
