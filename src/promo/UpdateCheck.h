#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The update library's portable half: the description format, version comparison and which
// download address may be offered. Every input here comes from the network.
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

// The description: line 1 the newest version, line 2 the address of its download page (a web
// address SplitWebAddress takes). Lines end in LF or CRLF; later lines are ignored; a UTF-8 byte
// order mark at the start is skipped.
struct UpdateDescription {
    Version version;
    std::string downloadAddress;

    friend bool operator==(const UpdateDescription&, const UpdateDescription&) = default;
};

std::optional<UpdateDescription> ParseUpdateDescription(std::string_view text);

// "scheme://host[:port]/path?query" for http and https: the scheme and host in lower case,
// the port filled in, the path from the first '/' or '?' ("/" when there is none), the fragment
// dropped. nullopt for anything else, a host outside letters, digits, '-', '.' and '_' (no user
// name, no percent escape, no IPv6 literal) included.
struct WebAddress {
    std::string scheme;
    std::string host;
    std::uint16_t port = 0;
    std::string path;

    friend bool operator==(const WebAddress&, const WebAddress&) = default;
};

std::optional<WebAddress> SplitWebAddress(std::string_view address);

// The description fetched from `descriptionAddress` when it names a higher version than the
// running one and a download page on https:// on the same host, else nothing: a description
// must not send the user elsewhere.
std::optional<UpdateDescription> UpdateOfferFor(std::string_view description,
                                                std::string_view runningVersion,
                                                std::string_view descriptionAddress);

// The library's own state, a small file beside Value.ini: the version whose offer the user last
// answered 否, so that only a newer one is offered again.
inline constexpr std::string_view kUpdateStateFileName = "Update.ini";
// Where that file is, for the folder that holds Value.ini (`separator` joins the two).
std::string UpdateStatePath(std::string_view settingsFolder, char separator);
std::string DeclinedUpdateState(const Version& declined);
// Whether `state` (the file's text, empty when there is none) declined `offer` or a newer one.
bool DeclinedBefore(const UpdateDescription& offer, std::string_view state);

// The offer as the user reads it (UTF-8).
inline constexpr std::string_view kUpdateOfferCaption = "Tolvane 新版本";
std::string UpdateOfferText(const UpdateDescription& offer, std::string_view runningVersion);

}  // namespace tolvane
