#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "about/AboutBox.h"
#include "base/DialogLayout.h"
#include "settings/AdvancedLayout.h"
#include "settings/SettingsLayout.h"

namespace tolvane::testing {
namespace {

// Every control of the settings dialog in tab order, with the rectangle it takes in the
// client area (pixels, frame offsets added) and its tooltip.
struct Shown {
    const char* name;
    int index;
    const char* caption;
    PixelRect client;
    const char* tooltip;
};

// clang-format off
const Shown kSettingsByTab[] = {
    {"GroupBox_报时设置", -1, "报时频率", {2, 2, 187, 79}, ""},
    {"Option_报时设置", 0, "整点报时", {19, 18, 149, 17}, ""},
    {"Option_报时设置", 1, "两时报时", {19, 40, 149, 17}, ""},
    {"Option_报时设置", 2, "六时报时", {19, 62, 149, 17}, ""},
    {"GroupBox_格式设置", -1, "报时格式", {192, 2, 187, 79}, ""},
    {"Option_格式设置", 0, "仅报时间", {209, 18, 149, 17}, ""},
    {"Option_格式设置", 1, "报年月日", {209, 40, 149, 17}, ""},
    {"Option_格式设置", 2, "播放全部", {209, 62, 149, 17}, ""},
    {"GroupBox_广告设置", -1, "广告设置", {2, 84, 187, 87}, ""},
    {"Option_广告设置", 0, "开启显示一次", {16, 106, 149, 17}, ""},
    {"Option_广告设置", 1, "一天显示一次", {16, 128, 149, 17}, ""},
    {"GroupBox_高级设置", -1, "扩展设置", {192, 84, 187, 87}, ""},
    {"Check_关闭报时", -1, "关闭报时", {206, 106, 163, 13}, ""},
    {"Check_开机启动", -1, "开机启动", {206, 128, 163, 13},
     "开机自动启动程序，不需要可以不开启，开启会被杀毒软件拦截允许即可"},
    {"Check_自动校时", -1, "自动网络校时", {206, 150, 163, 13},
     "用于自己电脑时间不准的用户，进行每小时自动校准时间"},
    {"Label_高级设置", -1, "切换到高级设置", {10, 182, 84, 13}, ""},
    {"Command_确定", -1, "确定[&E]", {160, 176, 66, 24}, ""},
    {"Command_取消", -1, "取消[&C]", {236, 176, 66, 24}, ""},
    {"Command_应用", -1, "应用[&A]", {312, 176, 66, 24}, ""},
    {"Command_网络校时", -1, "网络校时[&T]", {160, 206, 66, 24}, ""},
    {"Command_关于", -1, "关于[&B]", {236, 206, 66, 24}, ""},
    {"Command_退出程序", -1, "退出程序[&X]", {312, 206, 66, 24}, ""},
};
// clang-format on

bool Inside(const PixelRect& inner, const PixelRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

bool Overlap(const PixelRect& a, const PixelRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(SettingsLayout, EveryControlInTabOrderWithCaptionRectangleAndTooltip) {
    EXPECT_EQ(kSettingsDialog.caption, "Tolvane设置");
    EXPECT_EQ(kSettingsDialog.ClientWidth(), 382);
    EXPECT_EQ(kSettingsDialog.ClientHeight(), 234);
    ASSERT_EQ(kSettingsControls.size(), std::size(kSettingsByTab));
    for (const ControlSpec& control : kSettingsControls) {
        SCOPED_TRACE(std::string(control.name) + " " + std::string(control.caption));
        ASSERT_GE(control.tab, 0);
        ASSERT_LT(control.tab, 22);
        const Shown& expected = kSettingsByTab[control.tab];
        EXPECT_EQ(control.name, expected.name);
        EXPECT_EQ(control.index, expected.index);
        EXPECT_EQ(control.caption, expected.caption);
        EXPECT_EQ(ClientPixels(kSettingsDialog, control), expected.client);
        EXPECT_EQ(control.tooltip, expected.tooltip);
    }
}

TEST(SettingsLayout, FramesInTwoRowsHoldTheirControlsButtonsAlongTheBottom) {
    const PixelRect client{0, 0, kSettingsDialog.ClientWidth(), kSettingsDialog.ClientHeight()};
    std::vector<std::string> frames;
    for (const ControlSpec& control : kSettingsControls) {
        SCOPED_TRACE(control.name);
        const PixelRect rect = ClientPixels(kSettingsDialog, control);
        EXPECT_TRUE(Inside(rect, client));
        if (control.kind == ControlKind::GroupFrame) frames.emplace_back(control.name);
        if (!control.parent.empty()) {
            const ControlSpec* frame = FindControl(kSettingsDialog, control.parent);
            ASSERT_NE(frame, nullptr);
            EXPECT_EQ(frame->kind, ControlKind::GroupFrame);
            EXPECT_TRUE(Inside(rect, ClientPixels(kSettingsDialog, *frame)));
        }
        // Only frames contain others; no two other controls share pixels.
        for (const ControlSpec& other : kSettingsControls) {
            if (&other == &control || control.kind == ControlKind::GroupFrame ||
                other.kind == ControlKind::GroupFrame) {
                continue;
            }
            EXPECT_FALSE(Overlap(rect, ClientPixels(kSettingsDialog, other))) << other.name;
        }
    }
    EXPECT_EQ(frames, (std::vector<std::string>{"GroupBox_报时设置", "GroupBox_格式设置",
                                                "GroupBox_广告设置", "GroupBox_高级设置"}));
    // Option groups follow each other in the tab order with their indexes in order, so arrow
    // keys walk a group and Tab leaves it.
    int lastIndex = -1;
    std::string_view lastGroup;
    for (const Shown& shown : kSettingsByTab) {
        if (shown.index < 0) continue;
        if (shown.name == lastGroup) {
            EXPECT_EQ(shown.index, lastIndex + 1) << shown.name;
        }
        lastGroup = shown.name;
        lastIndex = shown.index;
    }
}

TEST(SettingsLayout, FlagsAndRoles) {
    const struct {
        const char* name;
        unsigned flags;
        SettingsRole role;
    } rows[] = {
        {"Command_确定", kDefaultButton, SettingsRole::Ok},
        {"Command_取消", kCancelButton, SettingsRole::Cancel},
        {"Command_应用", kDisabledAtLoad, SettingsRole::Apply},
        {"Label_高级设置", kNoFlags, SettingsRole::Advanced},
        {"Check_关闭报时", kNoFlags, SettingsRole::AnnounceOff},
        {"Check_开机启动", kNoFlags, SettingsRole::StartAtBoot},
        {"Check_自动校时", kNoFlags, SettingsRole::HourlySyncOn},
        {"GroupBox_报时设置", kNoFlags, SettingsRole::None},
    };
    for (const auto& row : rows) {
        const ControlSpec* control = FindControl(kSettingsDialog, row.name);
        ASSERT_NE(control, nullptr) << row.name;
        EXPECT_EQ(control->flags, row.flags) << row.name;
        EXPECT_EQ(control->role, RoleOf(row.role)) << row.name;
    }
    unsigned all = 0;
    for (const ControlSpec& control : kSettingsControls) {
        if (control.kind == ControlKind::OptionButton) {
            const auto role = static_cast<SettingsRole>(control.role);
            const std::string_view group = role == SettingsRole::Frequency ? "Option_报时设置"
                                           : role == SettingsRole::Format  ? "Option_格式设置"
                                                                           : "Option_广告设置";
            EXPECT_EQ(control.name, group);
        }
        EXPECT_EQ(all & control.flags & (kDefaultButton | kCancelButton), 0u) << control.name;
        all |= control.flags;
    }
}

TEST(AdvancedLayout, ControlsFitTheirFramesWithoutOverlapAndTheTabOrderIsWhole) {
    const PixelRect client{0, 0, kAdvancedDialog.ClientWidth(), kAdvancedDialog.ClientHeight()};
    std::vector<int> tabs;
    for (const ControlSpec& control : kAdvancedControls) {
        SCOPED_TRACE(control.name);
        const PixelRect rect = ClientPixels(kAdvancedDialog, control);
        EXPECT_TRUE(Inside(rect, client));
        if (const ControlSpec* frame = FindControl(kAdvancedDialog, control.parent)) {
            EXPECT_TRUE(Inside(rect, ClientPixels(kAdvancedDialog, *frame)));
        }
        for (const ControlSpec& other : kAdvancedControls) {
            if (&other == &control || control.kind == ControlKind::GroupFrame ||
                other.kind == ControlKind::GroupFrame) {
                continue;
            }
            EXPECT_FALSE(Overlap(rect, ClientPixels(kAdvancedDialog, other))) << other.name;
        }
        if (control.tab >= 0) tabs.push_back(control.tab);
    }
    // Rows in tab order, so the table reads as the keyboard walks the page.
    for (std::size_t i = 0; i < tabs.size(); ++i) EXPECT_EQ(tabs[i], static_cast<int>(i));
}

// Fields are named after the label made just before them (Windows' own rule finds it there);
// every other control after its own caption, less the access key; frames come before members.
TEST(DialogLayout, NamesLabelsAndTheOrderWindowsAreMadeIn) {
    const std::map<std::string_view, std::pair<std::string_view, std::string_view>> fields{
        {"Text_安静开始", {"Label_从", "安静时段 从"}},
        {"Text_安静结束", {"Label_到", "安静时段 到"}},
        {"Slider_报时音量", {"Label_报时音量", "音量"}},
        {"Combo_语音包", {"Label_语音包", "声音"}},
        {"Text_报时热键", {"Label_报时热键", "报时热键"}},
    };
    for (const DialogSpec* dialog : {&kSettingsDialog, &kAdvancedDialog, &kAboutDialog}) {
        const std::vector<std::size_t> order = CreationOrder(*dialog);
        ASSERT_EQ(order.size(), dialog->controls.size());
        const auto made = [&](const ControlSpec* control) {
            return std::ranges::find(order, control - dialog->controls.data()) - order.begin();
        };
        for (const ControlSpec& control : dialog->controls) {
            SCOPED_TRACE(control.name);
            if (const ControlSpec* frame = FindControl(*dialog, control.parent)) {
                EXPECT_LT(made(frame), made(&control));
            }
            const ControlSpec* label = LabelOf(*dialog, control);
            const auto field = fields.find(control.name);
            ASSERT_EQ(label != nullptr, field != fields.end());
            if (label != nullptr) {
                EXPECT_EQ(std::pair(label->name, control.accessibleName), field->second);
                EXPECT_EQ(made(label) + 1, made(&control));
            } else if (!control.accessibleName.empty()) {
                EXPECT_EQ(control.accessibleName,
                          control.caption.substr(0, control.caption.find("[&")));
            }
        }
    }
}

TEST(AboutLayout, IconTitleVersionOnTopDescriptionThenLinkAndOkAtTheBottom) {
    EXPECT_EQ(kAboutDialog.ClientWidth(), 382);
    EXPECT_EQ(kAboutDialog.ClientHeight(), 206);
    const PixelRect client{0, 0, kAboutDialog.ClientWidth(), kAboutDialog.ClientHeight()};
    auto at = [](const char* name) {
        const ControlSpec* control = FindControl(kAboutDialog, name);
        EXPECT_NE(control, nullptr) << name;
        return control ? ClientPixels(kAboutDialog, *control) : PixelRect{};
    };
    for (const ControlSpec& control : kAboutControls) {
        const PixelRect rect = ClientPixels(kAboutDialog, control);
        EXPECT_TRUE(Inside(rect, client)) << control.name;
        for (const ControlSpec& other : kAboutControls) {
            if (&other == &control) continue;
            EXPECT_FALSE(Overlap(rect, ClientPixels(kAboutDialog, other)))
                << control.name << " " << other.name;
        }
    }
    const PixelRect icon = at("picIcon"), title = at("lblTitle"), version = at("lblVersion"),
                    description = at("lblDescription"), line = at("Line1"),
                    disclaimer = at("lblDisclaimer"), link = at("Label_链接官方网站"),
                    ok = at("cmdOK");
    EXPECT_EQ(icon.width, 32);
    EXPECT_LT(icon.left, title.left);
    EXPECT_LT(title.top, version.top);
    EXPECT_LE(version.top + version.height, description.top);
    EXPECT_LE(description.top + description.height, line.top);
    EXPECT_GE(line.width, client.width - 12);
    for (const PixelRect& bottom : {disclaimer, link, ok}) EXPECT_GT(bottom.top, line.top);
    EXPECT_LT(disclaimer.left, link.left);
    EXPECT_LT(link.left + link.width, ok.left);
    EXPECT_EQ(ok.left + ok.width + 4, client.width);

    const ControlSpec* button = FindControl(kAboutDialog, "cmdOK");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->caption, "确定");
    EXPECT_EQ(button->flags, kDefaultButton | kCancelButton);
}

}  // namespace
}  // namespace tolvane::testing
