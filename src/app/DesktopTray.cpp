#include "app/DesktopTray.h"

namespace tolvane {

TrayPath ChooseTrayPath(bool watcherOnBus, bool xembedTray) {
    if (watcherOnBus) return TrayPath::StatusNotifier;
    return xembedTray ? TrayPath::XEmbed : TrayPath::None;
}

NoticeRoute ChooseNoticeRoute(TrayPath path, bool notificationServer) {
    if (notificationServer) return NoticeRoute::NotificationServer;
    return path == TrayPath::XEmbed ? NoticeRoute::TrayBalloon : NoticeRoute::StandardError;
}

NoticeStyle StyleOfNotice(NoticeKind kind) {
    // A warning stays longer but is never critical: critical notices ignore the timeout on
    // most servers and would stay until clicked.
    return kind == NoticeKind::Warning ? NoticeStyle{1, 15000} : NoticeStyle{0, 8000};
}

bool ShouldSayNoTray(TrayPath path, bool alreadySaid) {
    return path == TrayPath::None && !alreadySaid;
}

const TrayNotice kNoTrayNotice{
    "Tolvane 没有通知区域",
    "这个桌面没有通知区域，看不到 Tolvane 的托盘图标。Tolvane 照常报时，也响应报时热键。"
    "在 GNOME 上，安装并启用 AppIndicator 扩展（gnome-shell-extension-appindicator）即可显示。",
    NoticeKind::Warning};

}  // namespace tolvane
