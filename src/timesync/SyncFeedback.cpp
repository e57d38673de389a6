#include "timesync/SyncFeedback.h"

namespace tolvane {
namespace {

std::string ServerName(const std::optional<TimeServer>& server) {
    if (!server) return "";
    if (server->port == kDaytimePort) return server->host;
    return server->host + ":" + std::to_string(server->port);
}

// "+1 小时 2 分 5 秒": the units that are not zero, largest first.
std::string SignedDuration(std::int64_t ms) {
    // Rounded half away from zero, so that -0.5 s and +0.5 s read alike.
    const std::int64_t seconds = (ms < 0 ? -ms + 500 : ms + 500) / 1000;
    struct Unit {
        std::int64_t seconds;
        const char* name;
    };
    constexpr Unit kUnits[] = {{86400, " 天"}, {3600, " 小时"}, {60, " 分"}, {1, " 秒"}};
    std::string text = ms < 0 ? "-" : "+";
    std::int64_t rest = seconds;
    bool first = true;
    for (const Unit& unit : kUnits) {
        const std::int64_t count = rest / unit.seconds;
        rest %= unit.seconds;
        if (count == 0) continue;
        if (!first) text += ' ';
        text += std::to_string(count) + unit.name;
        first = false;
    }
    return text;
}

}  // namespace

std::string SyncFeedbackText(const SyncOutcome& outcome, const std::optional<TimeServer>& server) {
    switch (outcome.result) {
        case SyncResult::ClockSet:
            if (outcome.movedMs > -500 && outcome.movedMs < 500) return "时间已校准，误差不到 1 秒";
            return "时间已校准，调整了 " + SignedDuration(outcome.movedMs);
        case SyncResult::Refused:
            return "系统拒绝修改时间";
        case SyncResult::NoReply:
            return "校时失败：时间服务器 " + ServerName(server) + " 没有回应";
        case SyncResult::UnusableReply:
            return "校时失败：时间服务器 " + ServerName(server) + " 的回复无法识别";
        case SyncResult::NoServer:
            return "校时失败：Value.ini 中的“校时服务器”无法识别";
    }
    return "";
}

}  // namespace tolvane
