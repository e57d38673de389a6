#include "promo/UpdateCheck.h"

#include <algorithm>
#include <charconv>
#include <utility>
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

bool IsDownloadAddress(std::string_view text) {
    if (text.size() > kMaxDownloadAddressBytes) return false;
    std::string_view rest;
    if (StartsWithIgnoringAsciiCase(text, "http://")) {
        rest = text.substr(7);
    } else if (StartsWithIgnoringAsciiCase(text, "https://")) {
        rest = text.substr(8);
    } else {
        return false;
    }
    if (rest.empty() || rest.front() == '/') return false;  // no host
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 127; });
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
    if (!version || !IsDownloadAddress(lines[1])) return std::nullopt;
    return UpdateDescription{*version, std::string(lines[1])};
}

std::optional<UpdateDescription> UpdateOfferFor(std::string_view description,
                                                std::string_view runningVersion) {
    const auto running = ParseVersion(runningVersion);
    auto offer = ParseUpdateDescription(description);
    if (!running || !offer || offer->version <= *running) return std::nullopt;
    return offer;
}

std::string UpdateOfferText(const UpdateDescription& offer, std::string_view runningVersion) {
    return "Tolvane 有新版本 " + VersionText(offer.version) + "（您使用的是 " +
           std::string(runningVersion) + "）。\n\n是否打开下载页面？\n" + offer.downloadAddress;
}

std::optional<HttpAddress> SplitHttpAddress(std::string_view address) {
    if (!StartsWithIgnoringAsciiCase(address, "http://")) return std::nullopt;
    if (!std::all_of(address.begin(), address.end(), [](char c) { return c > ' ' && c < 127; })) {
        return std::nullopt;
    }
    std::string_view rest = address.substr(7);
    rest = rest.substr(0, rest.find('#'));
    const std::size_t pathStart = rest.find_first_of("/?");
    std::string_view authority = rest.substr(0, pathStart);
    std::string path =
        pathStart == std::string_view::npos ? "/" : std::string(rest.substr(pathStart));
    if (path.front() == '?') path.insert(0, "/");
    if (authority.find('@') != std::string_view::npos) return std::nullopt;
    HttpAddress result;
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos) {
        const auto port = ParseNumber(authority.substr(colon + 1), 65535);
        if (!port || *port == 0) return std::nullopt;
        result.port = static_cast<std::uint16_t>(*port);
        authority = authority.substr(0, colon);
    }
    if (authority.empty()) return std::nullopt;
    result.host = std::string(authority);
    result.path = std::move(path);
    return result;
}

std::string HttpGetRequest(const HttpAddress& address, std::string_view userAgent) {
    std::string host = address.host;
    if (address.port != 80) host += ":" + std::to_string(address.port);
    return "GET " + address.path + " HTTP/1.0\r\nHost: " + host +
           "\r\nUser-Agent: " + std::string(userAgent) +
           "\r\nAccept: text/plain\r\nConnection: close\r\n\r\n";
}

std::optional<std::string> HttpReplyBody(std::string_view reply, std::size_t maxBody) {
    const std::size_t headerEnd = reply.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos) return std::nullopt;
    const std::vector<std::string_view> head = Lines(reply.substr(0, headerEnd));
    // "HTTP/1.1 200 OK"
    const std::string_view status = head.empty() ? std::string_view() : head[0];
    if (!StartsWithIgnoringAsciiCase(status, "HTTP/1.") || status.size() < 12 || status[8] != ' ' ||
        status.substr(9, 3) != "200" || (status.size() > 12 && status[12] != ' ')) {
        return std::nullopt;
    }
    std::optional<std::size_t> contentLength;
    for (std::size_t i = 1; i < head.size(); ++i) {
        const std::string_view line = head[i];
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view name = line.substr(0, colon);
        const std::string_view value = TrimSpacesAndTabs(line.substr(colon + 1));
        if (EqualsIgnoringAsciiCase(name, "transfer-encoding")) return std::nullopt;
        if (EqualsIgnoringAsciiCase(name, "content-length")) {
            const auto length = ParseNumber(value, 0xFFFFFFFFu);
            if (!length || (contentLength && *contentLength != *length)) return std::nullopt;
            contentLength = *length;
        }
    }
    std::string_view body = reply.substr(headerEnd + 4);
    if (contentLength) {
        if (body.size() < *contentLength) return std::nullopt;  // cut off
        body = body.substr(0, *contentLength);
    }
    if (body.size() > maxBody) return std::nullopt;
    return std::string(body);
}

}  // namespace tolvane
