#pragma once

#include <cstdint>
#include <string_view>

#include "base/MessagePump.h"
#include "base/Twips.h"
#include "promo/AdvertSlide.h"

namespace tolvane {

// The advert window's caption and client area, and the browser inside it (as large as the
// client area, from 30 twips in), in twips.
inline constexpr std::string_view kAdvertCaption = "为您推荐";
inline constexpr int kAdvertClientWidthTwips = 4500;
inline constexpr int kAdvertClientHeightTwips = 3000;
inline constexpr int kAdvertBrowserLeftTwips = 30;

// What the advert window's platform shell does for its core. Positions and sizes in pixels.
class AdvertView {
public:
    virtual ~AdvertView() = default;
    // Starts loading the page; the shell calls DocumentComplete once it has arrived.
    virtual void Navigate(std::string_view address) = 0;
    virtual void Hide() = 0;
    virtual void Show() = 0;
    virtual AdvertGeometry Measure() = 0;
    // The height of the taskbar, 0 when there is none.
    virtual std::int32_t MeasureTaskbarHeight() = 0;
    virtual void MoveTo(int left, int top) = 0;
    // One step of the slide: the frame's top left corner.
    virtual void SlideTo(int left, int top) = 0;
    // False from the moment the window has been closed.
    virtual bool IsOpen() = 0;
    // Opens the address in the user's default browser.
    virtual void OpenInBrowser(std::string_view address) = 0;
};

// The advert window's decisions: where it waits, how it slides up once its page has arrived,
// and what closing it does. The window reports its events here.
class AdvertWindowCore {
public:
    explicit AdvertWindowCore(MessagePump& pump) : m_pump(pump) {}

    // Starts the page and parks the window, hidden, just below the screen's bottom edge.
    void Form_Load(AdvertView& view);
    // Shows the window and slides it up from below the screen, letting pending messages run
    // before each step. Runs again from the bottom for every notification. The window is
    // measured again at every step: a window manager adds its frame only once the window shows.
    void DocumentComplete();
    // The window is closing: the second page opens unless the exit command said otherwise.
    void Form_Unload();

    // Loaded and not closed since.
    bool IsOpen() const { return m_view != nullptr && m_view->IsOpen(); }
    void SetOpenPageOnClose(bool open) { m_openPageOnClose = open; }
    bool OpenPageOnClose() const { return m_openPageOnClose; }
    std::int32_t TaskbarHeight() const { return m_taskbarHeight; }

private:
    AdvertView* m_view = nullptr;
    MessagePump& m_pump;
    bool m_openPageOnClose = false;
    std::int32_t m_taskbarHeight = 0;
};

}  // namespace tolvane
