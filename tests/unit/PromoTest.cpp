#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "about/WebAddresses.h"
#include "fakes/CoreRig.h"
#include "promo/AdvertPage.h"
#include "promo/AdvertSlide.h"
#include "promo/AdvertWindowCore.h"

namespace tolvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kIni[] = "C:\\T\\Value.ini";

struct DeferredRow {
    const char* what;
    const char* valueIni;  // nullptr: no file
    LocalDateTime today;
    int starts;
    int advertLoads;                        // over all starts
    std::optional<std::string> advertDate;  // the stored key afterwards; nullopt: never written
    bool withLibrary = true;
    int loadTakesMs = 0;
    bool readOnly = false;
};

TEST(DeferredTasks, UpdateCallThenTheAdvertDecisionAtEveryStart) {
    const LocalDateTime day = fakes::At(2026, 9, 7, 10, 0, 0);
    // clang-format off
    const DeferredRow rows[] = {
        {"every start leaves the date alone", "[Tolvane]\n广告设置=0\n广告日期=2020|01|01\n", day, 2, 2, std::nullopt},
        {"no file means every start", nullptr, day, 1, 1, std::nullopt},
        {"once a day without the key", "[Tolvane]\n广告设置=1\n", day, 1, 1, "2026|09|07"},
        {"once a day, second start the same day", "[Tolvane]\n广告设置=1\n", day, 2, 1, "2026|09|07"},
        {"stored the same day", "[Tolvane]\n广告设置=1\n广告日期=2026|09|07\n", day, 1, 0, std::nullopt},
        {"another spelling of the same day", "[Tolvane]\n广告设置=1\n广告日期=2026|9|7\n", day, 1, 1, "2026|09|07"},
        {"date moved backwards", "[Tolvane]\n广告设置=1\n广告日期=2026|09|08\n", day, 1, 1, "2026|09|07"},
        {"stored with spaces", "[Tolvane]\n广告设置=1\n广告日期= 2026|09|07x\n", day, 1, 1, "2026|09|07"},
        {"mode 2 never", "[Tolvane]\n广告设置=2\n广告日期=2020|01|01\n", day, 2, 0, std::nullopt},
        {"mode -1 never", "[Tolvane]\n广告设置=-1\n", day, 1, 0, std::nullopt},
        {"unreadable mode reads as 0", "[Tolvane]\n广告设置=abc\n", day, 1, 1, std::nullopt},
        {"no library: the decision still runs", "[Tolvane]\n广告设置=1\n", day, 1, 1, "2026|09|07", false},
        {"midnight passes while loading", "[Tolvane]\n广告设置=1\n", fakes::At(2026, 9, 7, 23, 59, 59, 900), 1, 1, "2026|09|08", true, 200},
        {"early years keep four digits", "[Tolvane]\n广告设置=1\n", fakes::At(999, 1, 2, 8, 0, 0), 1, 1, "0999|01|02"},
        {"a refused write still shows it", "[Tolvane]\n广告设置=1\n", day, 2, 2, std::nullopt, true, 0, true},
    };
    // clang-format on
    for (const DeferredRow& row : rows) {
        SCOPED_TRACE(row.what);
        fakes::MemoryProfileStore profiles;
        if (row.valueIni != nullptr) profiles.files[kIni] = row.valueIni;
        if (row.readOnly) profiles.readOnly[kIni] = true;
        const std::string update = "DoUpdate(4660, " + std::string(kUpdateDescriptionUrl) + ")";
        int loads = 0;
        for (int start = 0; start < row.starts; ++start) {
            fakes::CoreRig rig(ProgramFolder{"C:\\T", '\\'}, row.withLibrary);
            rig.profiles = profiles;
            rig.clock.Set(row.today);
            rig.windows.advert.onNavigate = [&] {
                EXPECT_EQ(rig.promo.log.size(), row.withLibrary ? 1u : 0u);  // the update first
                rig.clock.Advance(std::chrono::milliseconds(row.loadTakesMs));
            };
            rig.core.Form_Load();
            rig.core.OnTimer(MainTimer::Timer_自动升级);
            loads += std::ranges::count(rig.windows.log, "CreateAdvert");
            EXPECT_EQ(rig.promo.log, std::vector<std::string>(row.withLibrary ? 1 : 0, update));
            profiles = rig.profiles;
        }
        EXPECT_EQ(loads, row.advertLoads);
        const int writes = profiles.CountOf("WriteString");
        if (row.advertDate) {
            EXPECT_GE(writes, 1);
            const auto write = std::find_if(profiles.calls.rbegin(), profiles.calls.rend(),
                                            [](const auto& c) { return c.op == "WriteString"; });
            EXPECT_EQ(write->key, "广告日期");
            EXPECT_EQ(write->argument, *row.advertDate);
            EXPECT_EQ(ini::GetString(profiles.files[kIni], "Tolvane", "广告日期", "", 64),
                      *row.advertDate);
        } else if (!row.readOnly) {
            EXPECT_EQ(writes, 0);
        }
        EXPECT_EQ(writes, row.readOnly ? row.starts : (row.advertDate ? 1 : 0));
    }
}

struct SlideRow {
    const char* what;
    AdvertGeometry geometry;
    int taskbar;
    PixelRect start;
    std::size_t steps;
    PixelRect final;
};

TEST(AdvertSlide, StartsBelowTheScreenAndRisesOnePixelAStep) {
    // clang-format off
    const SlideRow rows[] = {
        {"40-pixel taskbar at the bottom of 1080", {1920, 1080, 306, 226}, 40, {1614, 1080, 306, 226}, 266, {1614, 814, 306, 226}},
        {"taskbar at the top still rises by its height", {1920, 1080, 306, 226}, 40, {1614, 1080, 306, 226}, 266, {1614, 814, 306, 226}},
        {"taskbar at the right: beside it, on the bottom", {1920, 1080, 306, 226, 96, {0, 0, 1860, 1080}}, 1080, {1554, 1080, 306, 226}, 226, {1554, 854, 306, 226}},
        {"a frame the panel's height would push below the work area", {1024, 768, 302, 221, 96, {0, 0, 1024, 728}}, 0, {722, 768, 302, 221}, 261, {722, 507, 302, 221}},
        {"no taskbar: bottom on the screen's bottom", {1920, 1080, 306, 226}, 0, {1614, 1080, 306, 226}, 226, {1614, 854, 306, 226}},
        {"frameless on a small screen", {1024, 768, 300, 200}, 0, {724, 768, 300, 200}, 200, {724, 568, 300, 200}},
        {"nothing to slide", {1024, 768, 0, 0}, 0, {1024, 768, 0, 0}, 0, {1024, 768, 0, 0}},
        {"wider than the screen", {200, 100, 300, 50}, 10, {-100, 100, 300, 50}, 60, {-100, 40, 300, 50}},
        {"150 %: still a pixel a step, half again as many", {1920, 1080, 459, 339, 144}, 60, {1461, 1080, 459, 339}, 399, {1461, 681, 459, 339}},
        {"a DPI the shell could not tell counts as 96", {1920, 1080, 306, 226, 0}, 40, {1614, 1080, 306, 226}, 266, {1614, 814, 306, 226}},
    };
    // clang-format on
    for (const SlideRow& row : rows) {
        SCOPED_TRACE(row.what);
        const AdvertSlidePlan plan = PlanAdvertSlide(row.geometry, row.taskbar);
        EXPECT_EQ(plan.start, row.start);
        ASSERT_EQ(plan.tops.size(), row.steps);
        EXPECT_EQ(plan.Final(), row.final);
        for (std::size_t i = 0; i < plan.tops.size(); ++i) {
            EXPECT_EQ(plan.tops[i], row.geometry.screenHeight - 1 - int(i));
        }
    }
}

TEST(AdvertSlide, LengthRisesAndTwipsToPixels) {
    const struct {
        double outer;
        int taskbar;
        int length;
    } lengths[] = {{3390, 40, 3990},  {3390.5, 0, 3390}, {3391.5, 0, 3392},
                   {3390.4, 0, 3390}, {3390.6, 0, 3391}, {0, 0, 0}};
    for (const auto& row : lengths) {
        EXPECT_EQ(SlideLengthTwips(row.outer, row.taskbar), row.length) << row.outer;
    }
    // Length, DPI, steps: the rises go 1, 16, 31 ... twips at 96 DPI, 1, 8.5, 16 ... at 192.
    const int steps[][3] = {{0, 96, 0},   {1, 96, 1},   {15, 96, 1}, {16, 96, 2}, {31, 96, 3},
                            {10, 144, 1}, {11, 144, 2}, {8, 192, 1}, {9, 192, 2}};
    for (const auto& row : steps) EXPECT_EQ(SlideSteps(row[0], row[1]), row[2]) << row[0];
    const int pixels[][2] = {{0, 0},   {14, 0},   {15, 1},  {16199, 1079},
                             {-1, -1}, {-15, -1}, {-16, -2}};
    for (const auto& row : pixels) EXPECT_EQ(TwipsToPixels(row[0]), row[1]) << row[0];
}

struct AdvertWindow {
    fakes::RecordingAdvertView view;
    fakes::FakeMessagePump pump;
    AdvertWindowCore core{pump};
};

TEST(AdvertWindowCore, LoadParksItHiddenBelowTheScreenAndArmsThePageOnClose) {
    AdvertWindow window;
    EXPECT_FALSE(window.core.OpenPageOnClose());
    window.core.Form_Load(window.view);
    EXPECT_EQ(window.view.actions,
              (std::vector<std::string>{"Navigate " + std::string(kAdvertPageUrl), "Hide",
                                        "MoveTo 1614,1080"}));
    EXPECT_TRUE(window.core.OpenPageOnClose());
    EXPECT_EQ(window.core.TaskbarHeight(), 40);
    EXPECT_TRUE(window.view.tops.empty());
}

TEST(AdvertWindowCore, DocumentCompleteShowsThenSlidesLettingMessagesRunBeforeEachStep) {
    AdvertWindow window;
    window.core.Form_Load(window.view);
    std::vector<int> dispatchedBefore;
    window.pump.onDispatch = [&](int) { dispatchedBefore.push_back(int(window.view.tops.size())); };
    window.core.DocumentComplete();
    EXPECT_EQ(window.view.actions.back(), "Show");
    EXPECT_EQ(window.view.tops, PlanAdvertSlide(window.view.geometry, 40).tops);
    ASSERT_EQ(dispatchedBefore.size(), 266u);
    for (std::size_t i = 0; i < dispatchedBefore.size(); ++i)
        EXPECT_EQ(dispatchedBefore[i], int(i));
    EXPECT_EQ(window.view.top + 226, 1040);
}

TEST(AdvertWindowCore, AFrameAddedDuringTheSlideIsMeasuredAndEndsInsideTheWorkArea) {
    AdvertWindow window;
    window.core.Form_Load(window.view);
    window.pump.onDispatch = [&](int n) {
        if (n == 3) window.view.geometry = {1920, 1080, 310, 250, 96, {0, 0, 1920, 1040}};
    };
    window.core.DocumentComplete();
    EXPECT_EQ(std::pair(window.view.left + 310, window.view.top + 250), std::pair(1920, 1040));
}

TEST(AdvertWindowCore, CloseDuringTheSlideEndsItWithoutTouchingTheWindow) {
    AdvertWindow window;
    window.core.Form_Load(window.view);
    window.pump.onDispatch = [&](int n) {
        if (n == 5) {
            window.core.Form_Unload();
            window.view.open = false;
        }
    };
    window.core.DocumentComplete();
    EXPECT_EQ(window.view.tops.size(), 4u);
    EXPECT_EQ(window.view.actions.back(), "OpenInBrowser " + std::string(kPageOnCloseUrl));
    window.core.DocumentComplete();  // a late notification for a closed window
    EXPECT_EQ(window.view.tops.size(), 4u);
    EXPECT_EQ(window.view.actions.back(), "OpenInBrowser " + std::string(kPageOnCloseUrl));
}

TEST(AdvertWindowCore, SecondNotificationSlidesFromTheBottomThenTheFirstGoesOn) {
    AdvertWindow window;
    window.core.Form_Load(window.view);
    window.pump.onDispatch = [&](int n) {
        if (n == 3) window.core.DocumentComplete();
    };
    window.core.DocumentComplete();
    const std::vector<int> slide = PlanAdvertSlide(window.view.geometry, 40).tops;
    ASSERT_EQ(window.view.tops.size(), 2 * slide.size());
    const std::vector<int> nested(window.view.tops.begin() + 2,
                                  window.view.tops.begin() + 2 + long(slide.size()));
    EXPECT_EQ(nested, slide);
    EXPECT_EQ(window.view.tops.back(), slide.back());
    EXPECT_EQ(std::count(window.view.actions.begin(), window.view.actions.end(), "Show"), 2);
}

TEST(AdvertWindowCore, ClosingOpensTheSecondPageOnceUnlessTheExitCleared) {
    const struct {
        bool load;
        bool exitClears;
        int opened;
    } rows[] = {{true, false, 1}, {true, true, 0}, {false, false, 0}};
    for (const auto& row : rows) {
        AdvertWindow window;
        if (row.load) window.core.Form_Load(window.view);
        if (row.exitClears) window.core.SetOpenPageOnClose(false);
        window.core.Form_Unload();
        window.core.Form_Unload();
        EXPECT_EQ(std::count(window.view.actions.begin(), window.view.actions.end(),
                             "OpenInBrowser " + std::string(kPageOnCloseUrl)),
                  row.opened);
    }
}

TEST(AdvertPage, OnlyAPlainSubsetOfHtmlStaysAndEveryElementIsClosed) {
    const auto Repeat = [](std::string_view text, int times) {
        std::string repeated;
        while (times-- > 0) repeated += text;
        return repeated;
    };
    // clang-format off
    const struct {
        std::string page;
        std::string shown;
    } rows[] = {
        {"<p>Tolvane 推荐</p>", "<p>Tolvane 推荐</p>"},
        {"<HTML><Body BGCOLOR=#fff><P Align=CENTER>x", R"(<body bgcolor="#fff"><p align="center">x</p></body>)"},
        {"<a href='https://t.example/?a=1&amp;b' target=_blank onclick=x>go</a>", R"(<a href="https://t.example/?a=1&amp;b">go</a>)"},
        {"<img src=/p.png width=99999 height=50% style='x' src=/q.png>", R"(<img src="/p.png" width="1000" height="50%">)"},
        {"<font size=+9 color=red;x>a</font><font size=-2>b</font>", R"(<font>a</font><font size="-2">b</font>)"},
        {"<script>alert('<p>')</script><STYLE>p{}</style >x", "x"},
        {"<SCRIPT>never closed", ""},
        {"<p title=\"unclosed>x", ""},
        {"<!-- <p> --><!DOCTYPE html><?xml?>a < b > c<br/>", "a &lt; b &gt; c<br>"},
        {"<b><i>x</b>y</i></u>", "<b><i>x</i></b>y"},
        {"<td colspan=0>no table</td>", "no table"},
        {"<table border=99><tr><td colspan=0 rowspan=99>x<td>y<tr><td>z</table>",
         R"(<table border="20"><tr><td colspan="1" rowspan="16">x</td><td>y</td></tr><tr><td>z</td></tr></table>)"},
        {"<ul><li>a<li>b</ul><p>c<p>d<div><b>e<p>f", "<ul><li>a</li><li>b</li></ul><p>c</p><p>d</p><div><b>e<p>f</p></b></div>"},
        {"&amp;" + Repeat("x", 250), "&amp;" + Repeat("x", 195) + "&#8203;" + Repeat("x", 55)},
        {"&" + Repeat("x", 250), "&" + Repeat("x", 199) + "&#8203;" + Repeat("x", 51)},
        {Repeat("<div>", 30), Repeat("<div>", 24) + Repeat("</div>", 24)},
        {Repeat("<table><tr><td>", 4),
         Repeat("<table><tr><td>", 3) + "</td></tr><tr><td>" + Repeat("</td></tr></table>", 3)},
        {Repeat("<table></table>", 9), Repeat("<table></table>", 8)},
        {Repeat("<br>", 501), Repeat("<br>", 500)},
    };
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(SanitizeAdvertPage(row.page), row.shown) << row.page.substr(0, 60);
    }
}

}  // namespace
}  // namespace tolvane::testing
