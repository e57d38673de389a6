#pragma once

namespace tolvane {

// Window positions are reckoned in twips at this fixed factor, whatever the screen's real
// resolution.
inline constexpr int kTwipsPerPixel = 15;

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A twip position lies in the pixel that contains it (rounding down, below zero too).
constexpr int TwipsToPixels(int twips) {
    const int pixels = twips / kTwipsPerPixel;
    return (twips % kTwipsPerPixel < 0) ? pixels - 1 : pixels;
}

}  // namespace tolvane
