#pragma once

#include <cstdint>
#include <vector>

#include "base/Twips.h"

namespace tolvane {

// Sizes in pixels: the primary screen and the advert window with its frame; the DPI the
// window is shown at; and the screen's work area (what panels and taskbars leave free), empty
// where the desktop does not say.
struct AdvertGeometry {
    int screenWidth = 0;
    int screenHeight = 0;
    int outerWidth = 0;
    int outerHeight = 0;
    int dpi = kDefaultDpi;
    PixelRect workArea{};
};

// How far the window rises: its outer height plus the taskbar's height, in twips at `dpi`,
// rounded to the nearest whole twip with halves to the even neighbour.
int SlideLengthTwips(double outerHeightTwips, std::int32_t taskbarHeightPixels,
                     int dpi = kDefaultDpi);

// How many steps a slide of that length takes: the first rises 1 twip above the screen's
// bottom edge, each further one a pixel more (15 twips at 96 DPI), while the rise does not
// exceed the length. Step k puts the window's top in the k-th pixel row above the bottom edge.
int SlideSteps(int lengthTwips, int dpi = kDefaultDpi);

// The window's frame ends inside the work area: its right edge on the work area's, and where the
// rise by the taskbar's height would leave it partly outside (a taskbar at the side, a frame
// taller than was measured), its bottom on the work area's bottom.
struct AdvertSlidePlan {
    PixelRect start;        // right edge on the work area's right edge, top at the screen's height
    std::vector<int> tops;  // the window's top after each step
    PixelRect Final() const;
};

AdvertSlidePlan PlanAdvertSlide(const AdvertGeometry& geometry, std::int32_t taskbarHeightPixels);

}  // namespace tolvane
