#include "qt/LinuxProfileStore.h"

#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

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

// One direction of iconv, reused line after line.
class Converter {
public:
    Converter(const char* from, const char* to) : m_iconv(::iconv_open(to, from)) {}
    ~Converter() {
        if (IsOpen()) ::iconv_close(m_iconv);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The whole text in the other encoding; nullopt when any of it cannot be converted.
    std::optional<std::string> operator()(std::string_view text) {
        if (!IsOpen()) return std::nullopt;
        ::iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
        std::string out(text.size() * 2 + 16, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* next = out.data();
        std::size_t outLeft = out.size();
        while (inLeft > 0) {
            if (::iconv(m_iconv, &in, &inLeft, &next, &outLeft) != static_cast<std::size_t>(-1)) {
                continue;
            }
            if (errno != E2BIG) return std::nullopt;
            const std::size_t used = static_cast<std::size_t>(next - out.data());
            out.resize(out.size() * 2);
            next = out.data() + used;
            outLeft = out.size() - used;
        }
        // A shift state or a cut character at the end is an error too.
        if (::iconv(m_iconv, nullptr, nullptr, &next, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(static_cast<std::size_t>(next - out.data()));
        return out;
    }

private:
    bool IsOpen() const { return m_iconv != reinterpret_cast<iconv_t>(-1); }

    iconv_t m_iconv;
};

// A settings file copied from the Windows program is in the ANSI code page of a Chinese
// system; GB18030 reads every GBK file and encodes every character.
constexpr char kWindowsEncoding[] = "GB18030";

enum class Encoding { Utf8, Windows };

// Lines with their ends. CR and LF never occur inside a character of either encoding.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size() - 1) + 1;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

std::size_t NonAsciiBytes(std::string_view line) {
    return static_cast<std::size_t>(
        std::count_if(line.begin(), line.end(), [](char c) { return (c & 0x80) != 0; }));
}

// The text as UTF-8 and the encoding to write it back in. A file edited on both systems may
// hold lines of both encodings: the file goes by the encoding most of its text is in, and
// each line is read in that encoding if it can be, else in the other; a line that is neither
// is kept as it stands. Writing it back then gives one file in one encoding.
std::pair<std::string, Encoding> Decode(const std::string& bytes) {
    if (IsUtf8(bytes)) return {bytes, Encoding::Utf8};
    const std::vector<std::string_view> lines = Lines(bytes);
    std::size_t utf8Weight = 0;
    std::size_t windowsWeight = 0;
    for (std::string_view line : lines) {
        (IsUtf8(line) ? utf8Weight : windowsWeight) += NonAsciiBytes(line);
    }
    const Encoding encoding = windowsWeight > utf8Weight ? Encoding::Windows : Encoding::Utf8;
    Converter fromWindows(kWindowsEncoding, "UTF-8");
    std::string text;
    for (std::string_view line : lines) {
        std::optional<std::string> utf8;
        if (encoding == Encoding::Windows) utf8 = fromWindows(line);
        if (!utf8 && IsUtf8(line)) utf8 = std::string(line);
        if (!utf8 && encoding == Encoding::Utf8) utf8 = fromWindows(line);
        text += utf8 ? *utf8 : line;
    }
    return {text, encoding};
}

std::optional<std::string> Encode(const std::string& text, Encoding encoding) {
    if (encoding == Encoding::Utf8) return text;
    Converter toWindows("UTF-8", kWindowsEncoding);
    std::string bytes;
    for (std::string_view line : Lines(text)) {
        if (!IsUtf8(line)) {
            bytes += line;  // in neither encoding when it was read
            continue;
        }
        const std::optional<std::string> converted = toWindows(line);
        if (!converted) return std::nullopt;
        bytes += *converted;
    }
    return bytes;
}

// The file's text as UTF-8; Missing when it does not exist, Failed when it cannot be read or
// is not a settings file we can safely rewrite. `encoding` is the one to write it back in.
ReadStatus ReadFile(const std::string& path, std::string& text, Encoding* encoding = nullptr) {
    std::string bytes;
    const ReadStatus status = ReadRegularFile(path, LinuxProfileStore::kMaxFileBytes, bytes);
    if (status != ReadStatus::Ok) return status;
    if (IsUtf16(bytes)) return ReadStatus::Failed;
    auto decoded = Decode(bytes);
    text = std::move(decoded.first);
    if (encoding != nullptr) *encoding = decoded.second;
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
    if (!m_ownFolder.empty() && FolderOf(file) == m_ownFolder) MakePrivateFolders(m_ownFolder);
    const std::string path = ResolveTarget(file);
    std::string text;
    Encoding encoding = Encoding::Utf8;
    const ReadStatus status = ReadFile(path, text, &encoding);
    if (status == ReadStatus::Failed) return false;
    std::optional<std::string> updated = ini::SetValue(text, section, key, value);
    if (!updated) return false;
    if (status == ReadStatus::Ok && *updated == text) return true;
    updated = Encode(*updated, encoding);
    if (!updated) return false;
    struct stat old {};
    const bool exists = status == ReadStatus::Ok && ::stat(path.c_str(), &old) == 0;
    if (!MayReplace(path, exists ? &old : nullptr)) return false;
    return ReplaceAtomically(path, *updated,
                             exists ? std::optional<mode_t>(old.st_mode & 07777) : std::nullopt);
}

}  // namespace tolvane
