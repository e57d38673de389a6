#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "promo/AdvertWindowCore.h"
#include "promo/DeferredTasks.h"

namespace tolvane::fakes {

// Records the update library's calls.
class RecordingPromo final : public UpdateLibrary {
public:
    void DoUpdate(std::uint32_t window, const std::string& address) override {
        log.push_back("DoUpdate(" + std::to_string(window) + ", " + address + ")");
    }

    std::vector<std::string> log;
};

// An advert window of a given size on a given screen; records what the core asks of it.
class RecordingAdvertView final : public AdvertView {
public:
    void Navigate(std::string_view address) override {
        Do("Navigate " + std::string(address));
        if (onNavigate) onNavigate();
    }
    void Hide() override { Do("Hide"); }
    void Show() override { Do("Show"); }
    AdvertGeometry Measure() override { return geometry; }
    std::int32_t MeasureTaskbarHeight() override { return taskbarHeight; }
    void MoveTo(int left, int top) override {
        Do("MoveTo " + std::to_string(left) + "," + std::to_string(top));
        this->left = left;
        this->top = top;
    }
    void SlideTo(int left, int top) override {
        tops.push_back(top);
        this->left = left;
        this->top = top;
    }
    bool IsOpen() override { return open; }
    void OpenInBrowser(std::string_view address) override {
        Do("OpenInBrowser " + std::string(address));
    }

    AdvertGeometry geometry{1920, 1080, 306, 226};
    std::int32_t taskbarHeight = 40;
    bool open = true;
    int left = 0;
    int top = 0;
    std::vector<std::string> actions;  // everything but the slide's steps
    std::vector<int> tops;             // the slide's steps
    std::function<void()> onNavigate;

private:
    void Do(std::string action) { actions.push_back(std::move(action)); }
};

}  // namespace tolvane::fakes
