#include "promo/UpdateCheck.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <vector>

#include "base/AsciiText.h"

namespace tolvane {
namespace {

std::optional<std::uint32_t> ParseNumber(std::string_view text, std::uint32_t max) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), IsAsciiDigit)) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

// Splits at LF, dropping one CR before each LF.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsAsciiDigit(c) || c == '-' ||
           c == '.' || c == '_';
}

}  // namespace

std::optional<Version> ParseVersion(std::string_view text) {
    Version version;
    std::size_t index = 0;
    for (;;) {
        if (index == version.parts.size()) return std::nullopt;
        const std::size_t dot = text.find('.');
        const auto part = ParseNumber(text.substr(0, dot), 65535);
        if (!part) return std::nullopt;
        version.parts[index++] = *part;
        if (dot == std::string_view::npos) return version;
        text.remove_prefix(dot + 1);
    }
}

std::string VersionText(const Version& version) {
    std::string text;
    for (std::size_t i = 0; i < version.parts.size(); ++i) {
        if (i != 0) text += '.';
        text += std::to_string(version.parts[i]);
    }
    return text;
}

std::optional<UpdateDescription> ParseUpdateDescription(std::string_view text) {
    if (text.size() > kMaxUpdateDescriptionBytes) return std::nullopt;
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.size() < 2) return std::nullopt;
    const auto version = ParseVersion(lines[0]);
    if (!version || lines[1].size() > kMaxDownloadAddressBytes || !SplitWebAddress(lines[1])) {
        return std::nullopt;
    }
    return UpdateDescription{*version, std::string(lines[1])};
}

std::optional<UpdateDescription> UpdateOfferFor(std::string_view description,
                                                std::string_view runningVersion,
                                                std::string_view descriptionAddress) {
    const auto running = ParseVersion(runningVersion);
    auto offer = ParseUpdateDescription(description);
    if (!running || !offer || offer->version <= *running) return std::nullopt;
    const auto from = SplitWebAddress(descriptionAddress);
    const auto to = SplitWebAddress(offer->downloadAddress);
    if (!from || !to || to->scheme != "https" || to->host != from->host) return std::nullopt;
    return offer;
}

std::string UpdateStatePath(std::string_view settingsFolder, char separator) {
    std::string path(settingsFolder);
    if (!path.empty() && path.back() != separator) path += separator;
    return path + std::string(kUpdateStateFileName);
}

std::string DeclinedUpdateState(const Version& declined) {
    return "[Update]\nDeclined=" + VersionText(declined) + "\n";
}

bool DeclinedBefore(const UpdateDescription& offer, std::string_view state) {
    constexpr std::string_view kKey = "Declined=";
    for (std::string_view line : Lines(state.substr(0, kMaxUpdateDescriptionBytes))) {
        if (!line.starts_with(kKey)) continue;
        const auto declined = ParseVersion(line.substr(kKey.size()));
        return declined && offer.version <= *declined;
    }
    return false;
}

std::string UpdateOfferText(const UpdateDescription& offer, std::string_view runningVersion) {
    return "Tolvane 有新版本 " + VersionText(offer.version) + "（您使用的是 " +
           std::string(runningVersion) + "）。\n\n是否打开下载页面？\n" + offer.downloadAddress;
}

std::optional<WebAddress> SplitWebAddress(std::string_view address) {
    WebAddress result;
    std::string_view rest;
    if (StartsWithIgnoringAsciiCase(address, "https://")) {
        result = {"https", "", 443, ""};
        rest = address.substr(8);
    } else if (StartsWithIgnoringAsciiCase(address, "http://")) {
        result = {"http", "", 80, ""};
        rest = address.substr(7);
    } else {
        return std::nullopt;
    }
    if (!std::all_of(rest.begin(), rest.end(), [](char c) { return c > ' ' && c < 127; })) {
        return std::nullopt;
    }
    rest = rest.substr(0, rest.find('#'));
    const std::size_t pathStart = rest.find_first_of("/?");
    std::string_view host = rest.substr(0, pathStart);
    result.path = pathStart == std::string_view::npos ? "/" : std::string(rest.substr(pathStart));
    if (result.path.front() == '?') result.path.insert(0, "/");
    const std::size_t colon = host.find(':');
    if (colon != std::string_view::npos) {
        const auto port = ParseNumber(host.substr(colon + 1), 65535);
        if (!port || *port == 0) return std::nullopt;
        result.port = static_cast<std::uint16_t>(*port);
        host = host.substr(0, colon);
    }
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostCharacter)) {
        return std::nullopt;
    }
    std::transform(host.begin(), host.end(), std::back_inserter(result.host), AsciiLower);
    return result;
}

}  // namespace tolvane
