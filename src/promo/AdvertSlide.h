#pragma once

#include <cstdint>
#include <vector>

#include "base/Twips.h"

namespace tolvane {

// Sizes in pixels: the primary screen and the advert window with its frame.
struct AdvertGeometry {
    int screenWidth = 0;
    int screenHeight = 0;
    int outerWidth = 0;
    int outerHeight = 0;
};

// How far the window rises: its outer height plus the taskbar's height, in twips, rounded to
// the nearest whole twip with halves to the even neighbour.
int SlideLengthTwips(double outerHeightTwips, std::int32_t taskbarHeightPixels);

// The rise before each step: 1, 16, 31, ... while it does not exceed the slide length.
std::vector<int> SlideRisesTwips(int lengthTwips);

struct AdvertSlidePlan {
    PixelRect start;        // right edge on the screen's right edge, top at the screen's height
    std::vector<int> tops;  // the window's top after each step
    PixelRect Final() const;
};

AdvertSlidePlan PlanAdvertSlide(const AdvertGeometry& geometry, std::int32_t taskbarHeightPixels);

}  // namespace tolvane
