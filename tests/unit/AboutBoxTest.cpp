#include "about/AboutBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvane::testing {
namespace {

TEST(AboutBox, VersionTextShowsZeroAsTheThirdComponent) {
    const struct {
        ProgramVersion version;
        const char* text;
    } rows[] = {
        {{3, 8, 3}, "版本 3.8.0.3"},
        {{3, 0, 0}, "版本 3.0.0.0"},
        {{10, 12, 105}, "版本 10.12.0.105"},
    };
    for (const auto& row : rows) EXPECT_EQ(VersionText(row.version), row.text);
    EXPECT_EQ(VersionText(kProgramVersion), "版本 3.8.0.3");
    EXPECT_EQ(VersionText(kProgramVersion), std::string("版本 ") + TOLVANE_VERSION_TEXT);
}

TEST(AboutBox, CaptionTextsAndLink) {
    EXPECT_EQ(AboutCaption(), "关于 Tolvane");
    const std::string description = AboutDescription();
    std::vector<std::string> lines;
    for (std::size_t from = 0;;) {
        const std::size_t at = description.find("\r\n", from);
        lines.push_back(description.substr(from, at - from));
        if (at == std::string::npos) break;
        from = at + 2;
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "一款用中文语音为您报时的免费软件。",
                         "同时还具有利用英特网时间服务器校准本地时间的功能。该软件功能简明扼要，"
                         "安装删除均很简单是一款绿色软件。",
                         "软件运行以图标形式显示在桌面系统托盘上。",
                         "到达设定时间时就有女童为您报告时间，或者，您用鼠标左键点击图标也有女童"
                         "声为您报告当前时间，用鼠标右键点击图标则弹出菜单，",
                         "您可以进入设置界面，进行有关项目的设置，如设定报时规则、网络校时、等等。",
                     }));

    const std::pair<const char*, std::string> shown[] = {
        {"lblTitle", "Tolvane"},
        {"lblVersion", "版本 3.8.0.3"},
        {"lblDisclaimer", "官方网站："},
        {"Label_链接官方网站", "http://host.example/201072846.html"},
        {"cmdOK", "确定"},
        {"lblDescription", description},
    };
    for (const auto& [name, text] : shown) {
        const ControlSpec* control = FindControl(kAboutDialog, name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(AboutText(*control, "http://host.example/201072846.html"), text) << name;
    }
}

}  // namespace
}  // namespace tolvane::testing
