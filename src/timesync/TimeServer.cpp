#include "timesync/TimeServer.h"

#include "base/AsciiText.h"

namespace tolvane {
namespace {

constexpr std::size_t kMaxHostLength = 253;

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

}  // namespace

std::optional<TimeServer> TimeServerFromSetting(std::string_view value) {
    value = TrimSpacesAndTabs(value);
    if (value.empty()) return TimeServer{};

    TimeServer server;
    std::string_view host = value;
    const std::size_t colon = value.find(':');
    if (colon != std::string_view::npos) {
        host = value.substr(0, colon);
        const std::string_view port = value.substr(colon + 1);
        if (port.empty() || port.size() > 5) return std::nullopt;
        std::uint32_t number = 0;
        for (char c : port) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (number == 0 || number > 65535) return std::nullopt;
        server.port = static_cast<std::uint16_t>(number);
    }
    if (host.empty() || host.size() > kMaxHostLength) return std::nullopt;
    for (char c : host) {
        if (!IsHostCharacter(c)) return std::nullopt;
    }
    server.host = std::string(host);
    return server;
}

}  // namespace tolvane
