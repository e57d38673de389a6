#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The update library's portable half: the description format, version comparison and the
// plain-HTTP pieces its Linux build needs. Every input here comes from the network.
namespace tolvane {

// Nothing longer is read from the server: a bigger description is rejected whole.
inline constexpr std::size_t kMaxUpdateDescriptionBytes = 64 * 1024;
inline constexpr int kUpdateTimeoutMs = 10'000;
inline constexpr std::size_t kMaxDownloadAddressBytes = 1024;

// Up to four dot-separated numbers, 0 to 65535 each; missing parts count as 0.
struct Version {
    std::array<std::uint32_t, 4> parts{};

    friend auto operator<=>(const Version&, const Version&) = default;
};

std::optional<Version> ParseVersion(std::string_view text);
std::string VersionText(const Version& version);

// The description: line 1 the newest version, line 2 the address of its download page
// (http:// or https://, printable ASCII without spaces). Lines end in LF or CRLF; later lines
// are ignored; a UTF-8 byte order mark at the start is skipped.
struct UpdateDescription {
    Version version;
    std::string downloadAddress;

    friend bool operator==(const UpdateDescription&, const UpdateDescription&) = default;
};

std::optional<UpdateDescription> ParseUpdateDescription(std::string_view text);

// The description when it names a higher version than the running one, else nothing.
std::optional<UpdateDescription> UpdateOfferFor(std::string_view description,
                                                std::string_view runningVersion);

// The offer as the user reads it (UTF-8).
inline constexpr std::string_view kUpdateOfferCaption = "Tolvane 新版本";
std::string UpdateOfferText(const UpdateDescription& offer, std::string_view runningVersion);

// "http://host[:port]/path": the parts a plain HTTP/1.0 request needs.
struct HttpAddress {
    std::string host;
    std::uint16_t port = 80;
    std::string path;

    friend bool operator==(const HttpAddress&, const HttpAddress&) = default;
};

std::optional<HttpAddress> SplitHttpAddress(std::string_view address);
std::string HttpGetRequest(const HttpAddress& address, std::string_view userAgent);

// The body of a complete HTTP/1.x reply with status 200, at most `maxBody` bytes; nothing for
// any other status, a chunked or cut-off reply, or a longer body.
std::optional<std::string> HttpReplyBody(std::string_view reply, std::size_t maxBody);

}  // namespace tolvane
