#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

inline constexpr std::string_view kDefaultTimeServerHost = "time.nist.gov";
inline constexpr std::uint16_t kDaytimePort = 13;

struct TimeServer {
    std::string host = std::string(kDefaultTimeServerHost);
    std::uint16_t port = kDaytimePort;

    friend bool operator==(const TimeServer&, const TimeServer&) = default;
};

// The server named by the optional setting "host" or "host:port" (blanks around it ignored): a
// missing or empty value means the built-in one. nullopt for a value that names no server we
// could reach (an empty host, characters outside a host name, a port that is not 1-65535):
// synchronisation then stays off rather than asking some other server.
std::optional<TimeServer> TimeServerFromSetting(std::string_view value);

}  // namespace tolvane
