#include "promo/AdvertSlide.h"

#include <cmath>

namespace tolvane {

int SlideLengthTwips(double outerHeightTwips, std::int32_t taskbarHeightPixels) {
    const double length =
        outerHeightTwips + static_cast<double>(taskbarHeightPixels) * kTwipsPerPixel;
    // nearbyint rounds in the default mode: to nearest, halves to even.
    return static_cast<int>(std::nearbyint(length));
}

std::vector<int> SlideRisesTwips(int lengthTwips) {
    std::vector<int> rises;
    for (int i = 1; i <= lengthTwips; i += kTwipsPerPixel) rises.push_back(i);
    return rises;
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
    const int screenHeightTwips = geometry.screenHeight * kTwipsPerPixel;
    const int length =
        SlideLengthTwips(double(geometry.outerHeight) * kTwipsPerPixel, taskbarHeightPixels);
    for (int rise : SlideRisesTwips(length)) {
        plan.tops.push_back(TwipsToPixels(screenHeightTwips - rise));
    }
    return plan;
}

}  // namespace tolvane
