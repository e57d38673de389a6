#include <gtest/gtest.h>

#include "app/DesktopTray.h"
#include "app/TrayMenu.h"
#include "fakes/CoreRig.h"

namespace tolvane::testing {
namespace {

using fakes::At;
using Strings = std::vector<std::string>;

TEST(TrayTooltipText, FourLinesWithDateAndTimeButNoTimeAtMidnight) {
    fakes::FakeDateTimeFormatter formatter;
    const std::string head = "Tolvane Ver:3.0.0.0\r\n鼠标右键单击：菜单\r\n鼠标左键单击：报时\r\n";
    const struct {
        LocalDateTime now;
        const char* last;
    } rows[] = {
        {At(2010, 7, 28, 10, 0, 1), "2010/7/28 10:00:01"},
        {At(2010, 7, 28, 0, 0, 0), "2010/7/28"},
        {At(2010, 7, 28, 0, 0, 1), "2010/7/28 0:00:01"},
        {At(2010, 7, 28, 0, 1, 0), "2010/7/28 0:01:00"},
        {At(2010, 7, 28, 12, 0, 0), "2010/7/28 12:00:00"},
        {At(2026, 12, 31, 23, 59, 59), "2026/12/31 23:59:59"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TrayTooltipText(row.now, formatter, false), head + row.last);
        EXPECT_EQ(TrayTooltipText(row.now, formatter, true), head + row.last + "\r\n报时已关闭");
    }
    // The colons of the hints are full-width (U+FF1A).
    EXPECT_NE(head.find("\xEF\xBC\x9A"), std::string::npos);
}

TEST(ForTrayButton, LeftSpeaksRightOpensTheMenuMiddleSaysTheDateOthersNothing) {
    const std::pair<int, TrayButtonAction> rows[] = {
        {1, TrayButtonAction::Announce},     {2, TrayButtonAction::ShowMenu},
        {0, TrayButtonAction::None},         {3, TrayButtonAction::None},
        {4, TrayButtonAction::AnnounceDate}, {-1, TrayButtonAction::None},
    };
    for (const auto& [code, action] : rows) EXPECT_EQ(ForTrayButton(code), action) << code;
}

TEST(TrayMenu, TheSixEntriesInOrderThenThePauseAboveExit) {
    Strings captions;
    for (const MenuEntry& entry : kTrayMenu) captions.emplace_back(entry.caption);
    for (const MenuEntry& entry : kPauseMenu) captions.emplace_back(entry.caption);
    EXPECT_EQ(captions, (Strings{"关闭报时[&C]", "开机启动[&R]", "-", "网络校时[&T]", "-",
                                 "参数设置[&S]", "-", "关于[&A]", "-", "暂停报时[&P]", "-",
                                 "退出程序[&E]", "&1 小时", "到明天早上[&M]", "继续报时[&R]"}));
    EXPECT_EQ(kTrayMenu[0].kind, MenuKind::Check);
    EXPECT_EQ(kTrayMenu[1].kind, MenuKind::Check);
    EXPECT_EQ(kTrayMenu[9].kind, MenuKind::Submenu);
    EXPECT_EQ(kTrayMenu[11].command, MenuCommand::Exit);
}

TEST(DesktopTray, PathNoticeRouteAndTheNoTrayNoticeFollowWhatTheDesktopOffers) {
    using enum TrayPath;
    using enum NoticeRoute;
    const struct {
        bool watcher, xembed, server;
        TrayPath path;
        NoticeRoute route;
        bool sayNoTray;
    } rows[] = {
        {true, true, true, StatusNotifier, NotificationServer, false},
        {true, false, false, StatusNotifier, StandardError, false},
        {false, true, true, XEmbed, NotificationServer, false},
        {false, true, false, XEmbed, TrayBalloon, false},
        {false, false, true, None, NotificationServer, true},
        {false, false, false, None, StandardError, true},
    };
    for (const auto& row : rows) {
        const TrayPath path = ChooseTrayPath(row.watcher, row.xembed);
        EXPECT_EQ(path, row.path) << row.watcher << row.xembed;
        EXPECT_EQ(ChooseNoticeRoute(path, row.server), row.route) << row.watcher << row.xembed;
        EXPECT_EQ(ShouldSayNoTray(path, false), row.sayNoTray);
        EXPECT_FALSE(ShouldSayNoTray(path, true)) << "said twice";
    }
    // Critical would outlive the timeout on most servers; a warning stays longer than news.
    EXPECT_LT(StyleOfNotice(NoticeKind::Warning).urgency, 2);
    EXPECT_GT(StyleOfNotice(NoticeKind::Warning).timeoutMs,
              StyleOfNotice(NoticeKind::Info).timeoutMs);
}

TEST(Tooltip, TheCoreReadsTheClockForEveryRefresh) {
    fakes::CoreRig rig;
    rig.core.Form_Load();
    rig.clock.Set(At(2010, 7, 28, 23, 59, 59));
    rig.core.OnTimer(MainTimer::Timer_更新托盘显示时间);
    rig.clock.Advance(std::chrono::seconds(1));
    rig.core.OnTimer(MainTimer::Timer_更新托盘显示时间);
    EXPECT_EQ(Strings(rig.windows.log.end() - 2, rig.windows.log.end()),
              (Strings{"SetTrayTooltip 2010/7/28 23:59:59", "SetTrayTooltip 2010/7/29"}));
}

}  // namespace
}  // namespace tolvane::testing
