#pragma once

#include <QColor>

namespace app {

// Contrast between two colours as WCAG 2.1 defines it: from 1 (the same
// luminance) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);

// Text needs this much contrast to its background to be read at ordinary sizes.
inline constexpr double kReadableContrast = 4.5;

// `designed` itself when it reads well on `background`; otherwise the same
// hue made lighter (on a dark background) or darker (on a light one), just
// enough to read well.
QColor readableOn(const QColor& designed, const QColor& background);

} // namespace app
