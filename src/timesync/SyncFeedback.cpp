#include "timesync/SyncFeedback.h"

#include <cstdio>

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

// "+0.3 秒" in tenths under a minute, in whole units beyond.
std::string SignedSeconds(std::int64_t ms) {
    if (ms <= -60000 || ms >= 60000) return SignedDuration(ms);
    const std::int64_t tenths = (ms < 0 ? ms - 50 : ms + 50) / 100;
    const std::int64_t size = tenths < 0 ? -tenths : tenths;
    return (tenths < 0 ? "-" : "+") + std::to_string(size / 10) + "." + std::to_string(size % 10) +
           " 秒";
}

// "与时间服务器相差 +0.3 秒（±0.5 秒）": the uncertainty rounded up, never understated.
std::string Difference(const SyncOutcome& outcome) {
    const std::int64_t tenths = (outcome.uncertaintyMs + 99) / 100;
    return "与时间服务器相差 " + SignedSeconds(outcome.movedMs) + "（±" +
           std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " 秒）";
}

}  // namespace

std::string SyncFeedbackText(const SyncOutcome& outcome, const std::optional<TimeServer>& server) {
    switch (outcome.result) {
        case SyncResult::ClockSet:
            if (outcome.movedMs > -500 && outcome.movedMs < 500) return "时间已校准，误差不到 1 秒";
            return "时间已校准，调整了 " + SignedDuration(outcome.movedMs);
        case SyncResult::Refused:
            return "系统拒绝修改时间";
        case SyncResult::ElevationOffered:
            return "需要管理员权限才能修改时间，" + Difference(outcome) +
                   "。点击此通知或再次选择“网络校时”，即以管理员身份校时";
        case SyncResult::Declined:
            return "未获得管理员权限，时间没有修改";
        case SyncResult::AutomaticSync:
            return "系统正在自动校时，不接受手动修改；" + Difference(outcome);
        case SyncResult::SystemKeepsTime:
            return "系统已自动校时，" + Difference(outcome);
        case SyncResult::NoTimeService:
            return "本系统没有时间服务，无法修改时间";
        case SyncResult::NoAnswer:
            return "系统没有回应修改时间的请求";
        case SyncResult::NoReply:
            return "校时失败：时间服务器 " + ServerName(server) + " 没有回应";
        case SyncResult::NameNotFound:
            return "校时失败：找不到时间服务器 " + ServerName(server);
        case SyncResult::UnusableReply:
            return "校时失败：时间服务器 " + ServerName(server) + " 的回复无法识别";
        case SyncResult::NoServer:
            return "校时失败：Value.ini 中的“校时服务器”无法识别";
    }
    return "";
}

std::string LastSyncLine(const SyncOutcome& outcome, const LocalDateTime& at) {
    const bool found =
        outcome.result == SyncResult::ClockSet || outcome.result == SyncResult::SystemKeepsTime;
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", at.hour % 24, at.minute % 60);
    return std::string("上次校时 ") + time + " " +
           (found ? SignedSeconds(outcome.movedMs) : "失败");
}

}  // namespace tolvane
