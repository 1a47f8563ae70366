#include "ReadableColours.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

QColor mixed(const QColor& from, const QColor& to, double share)
{
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * share),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * share),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * share));
}

} // namespace

double contrastRatio(const QColor& first, const QColor& second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor& designed, const QColor& background)
{
    if (contrastRatio(designed, background) >= kReadableContrast)
        return designed;
    const QColor towards = luminance(background) < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
    // The least mix that reads well, to a hundredth.
    for (int percent = 1; percent <= 100; ++percent) {
        const QColor candidate = mixed(designed, towards, percent / 100.0);
        if (contrastRatio(candidate, background) >= kReadableContrast)
            return candidate;
    }
    return towards;
}

} // namespace app
