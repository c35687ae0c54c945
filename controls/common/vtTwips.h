#pragma once
// Measures of forms and controls are kept in twips (1/1440 inch) in every
// interface; the screen works in pixels at 96 dpi, 15 twips to the pixel.
#include <cmath>

namespace vt {

constexpr int TwipsPerPixel = 15;

constexpr int pixelsToTwips(int px) { return px * TwipsPerPixel; }
inline int twipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

} // namespace vt
