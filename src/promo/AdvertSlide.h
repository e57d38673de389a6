#pragma once

#include <cstdint>
#include <vector>

namespace tolvane {

// Window positions are reckoned in twips at this fixed factor, whatever the screen's real
// resolution.
inline constexpr int kTwipsPerPixel = 15;

// Sizes in pixels: the primary screen and the advert window with its frame.
struct AdvertGeometry {
    int screenWidth = 0;
    int screenHeight = 0;
    int outerWidth = 0;
    int outerHeight = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// How far the window rises: its outer height plus the taskbar's height, in twips, rounded to
// the nearest whole twip with halves to the even neighbour.
int SlideLengthTwips(double outerHeightTwips, std::int32_t taskbarHeightPixels);

// The rise before each step: 1, 16, 31, ... while it does not exceed the slide length.
std::vector<int> SlideRisesTwips(int lengthTwips);

// A twip position lies in the pixel that contains it (rounding down, below zero too).
int TwipsToPixels(int twips);

struct AdvertSlidePlan {
    PixelRect start;        // right edge on the screen's right edge, top at the screen's height
    std::vector<int> tops;  // the window's top after each step
    PixelRect Final() const;
};

AdvertSlidePlan PlanAdvertSlide(const AdvertGeometry& geometry, std::int32_t taskbarHeightPixels);

}  // namespace tolvane
