#include "promo/AdvertSlide.h"

#include <cmath>

namespace tolvane {

int SlideLengthTwips(double outerHeightTwips, std::int32_t taskbarHeightPixels, int dpi) {
    const double length = outerHeightTwips + static_cast<double>(taskbarHeightPixels) *
                                                 kTwipsPerInch / static_cast<double>(dpi);
    // nearbyint rounds in the default mode: to nearest, halves to even.
    return static_cast<int>(std::nearbyint(length));
}

int SlideSteps(int lengthTwips, int dpi) {
    return lengthTwips < 1 ? 0 : TwipsToPixels(lengthTwips - 1, dpi) + 1;
}

PixelRect AdvertSlidePlan::Final() const {
    PixelRect rect = start;
    if (!tops.empty()) rect.top = tops.back();
    return rect;
}

AdvertSlidePlan PlanAdvertSlide(const AdvertGeometry& geometry, std::int32_t taskbarHeightPixels) {
    AdvertSlidePlan plan;
    plan.start = {geometry.screenWidth - geometry.outerWidth, geometry.screenHeight,
                  geometry.outerWidth, geometry.outerHeight};
    // A shell that could not tell its DPI has not scaled the window either.
    const int dpi = geometry.dpi > 0 ? geometry.dpi : kDefaultDpi;
    const double outerTwips = double(geometry.outerHeight) * kTwipsPerInch / dpi;
    const int steps = SlideSteps(SlideLengthTwips(outerTwips, taskbarHeightPixels, dpi), dpi);
    for (int step = 0; step < steps; ++step) plan.tops.push_back(geometry.screenHeight - 1 - step);
    return plan;
}

}  // namespace tolvane
