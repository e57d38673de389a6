#include "promo/AdvertSlide.h"

#include <algorithm>
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
    const PixelRect work = geometry.workArea.width > 0 && geometry.workArea.height > 0
                               ? geometry.workArea
                               : PixelRect{0, 0, geometry.screenWidth, geometry.screenHeight};
    plan.start = {work.left + work.width - geometry.outerWidth, geometry.screenHeight,
                  geometry.outerWidth, geometry.outerHeight};
    // A shell that could not tell its DPI has not scaled the window either.
    const int dpi = geometry.dpi > 0 ? geometry.dpi : kDefaultDpi;
    const double outerTwips = double(geometry.outerHeight) * kTwipsPerInch / dpi;
    int steps = SlideSteps(SlideLengthTwips(outerTwips, taskbarHeightPixels, dpi), dpi);
    const int finalTop = geometry.screenHeight - steps;
    if (finalTop < work.top || finalTop + geometry.outerHeight > work.top + work.height) {
        steps =
            std::max(0, geometry.screenHeight - (work.top + work.height - geometry.outerHeight));
    }
    for (int step = 0; step < steps; ++step) plan.tops.push_back(geometry.screenHeight - 1 - step);
    return plan;
}

}  // namespace tolvane
