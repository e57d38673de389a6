#pragma once

namespace tolvane {

// Window geometry is kept in twips, 1440 to the logical inch, and becomes pixels at the DPI of
// the window that shows it: 15 twips a pixel at 96 DPI, 12 at 120, 10 at 144, 7.5 at 192.
// Qt reckons in its own device-independent pixels and scales them itself, so the Linux program
// always converts at the default DPI.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A twip position lies in the pixel that contains it (rounding down, below zero too); a length
// is rounded down the same way, so nothing grows past its share of the inch.
constexpr int TwipsToPixels(int twips, int dpi = kDefaultDpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long pixels = scaled / kTwipsPerInch;
    return static_cast<int>(scaled % kTwipsPerInch < 0 ? pixels - 1 : pixels);
}

// The smallest DPI at which a length of `twips` comes to at least `pixels` (at least 1).
constexpr int DpiToFit(int twips, int pixels) {
    if (twips <= 0 || pixels <= 0) return 1;
    const long long needed = static_cast<long long>(pixels) * kTwipsPerInch;
    return static_cast<int>((needed + twips - 1) / twips);
}

}  // namespace tolvane
