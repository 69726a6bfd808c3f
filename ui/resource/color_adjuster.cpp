#include "ui/resource/color_adjuster.h"

#include <algorithm>
#include <cmath>

namespace {

int Clamp(int value, int low, int high)
{
    return std::min(std::max(value, low), high);
}

uint8_t ToByte(double unit)
{
    return static_cast<uint8_t>(std::lround(std::min(std::max(unit, 0.0), 1.0) * 255.0));
}

// One channel of the HSL to RGB conversion, for hue h in sixths of a turn (0..6).
double HueToChannel(double p, double q, double h)
{
    if (h < 0)
        h += 6;
    if (h >= 6)
        h -= 6;
    if (h < 1)
        return p + (q - p) * h;
    if (h < 3)
        return q;
    if (h < 4)
        return p + (q - p) * (4 - h);
    return p;
}

}  // namespace

ColorAdjuster::ColorAdjuster(int hue, int saturation, int lightness)
{
    hue = Clamp(hue, -180, 180);
    saturation = Clamp(saturation, -100, 100);
    lightness = Clamp(lightness, -100, 100);
    m_identity = hue == 0 && saturation == 0 && lightness == 0;
    m_hueShift = hue;
    m_saturationFactor = (100 + saturation) / 100.0;
    for (int sum = 0; sum < 511; ++sum) {
        const double l = sum / 510.0;
        m_lightness[sum] = lightness < 0 ? l * (100 + lightness) / 100.0 : l + (1 - l) * lightness / 100.0;
    }
}

void ColorAdjuster::AdjustRgb(uint8_t& r, uint8_t& g, uint8_t& b) const
{
    if (m_identity)
        return;
    const int high8 = std::max({r, g, b});
    const int low8 = std::min({r, g, b});
    const double rf = r / 255.0, gf = g / 255.0, bf = b / 255.0;
    const double high = high8 / 255.0;
    const double low = low8 / 255.0;
    const double delta = high - low;
    double l = (high + low) / 2;
    double s = 0;
    double h = 0;  // in sixths of a turn
    if (delta > 0) {
        s = l <= 0.5 ? delta / (high + low) : delta / (2 - high - low);
        if (high8 == r)
            h = (gf - bf) / delta;
        else if (high8 == g)
            h = 2 + (bf - rf) / delta;
        else
            h = 4 + (rf - gf) / delta;
    }

    h += m_hueShift / 60.0;
    h = std::fmod(h, 6.0);
    if (h < 0)
        h += 6;
    s = std::min(s * m_saturationFactor, 1.0);
    l = m_lightness[high8 + low8];

    if (s == 0) {
        r = g = b = ToByte(l);
        return;
    }
    const double q = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    r = ToByte(HueToChannel(p, q, h + 2));
    g = ToByte(HueToChannel(p, q, h));
    b = ToByte(HueToChannel(p, q, h - 2));
}

uint32_t ColorAdjuster::AdjustColorRef(uint32_t color) const
{
    uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    AdjustRgb(r, g, b);
    return (color & 0xFF000000u) | r | (g << 8) | (static_cast<uint32_t>(b) << 16);
}

void ColorAdjuster::AdjustPremultiplied(uint8_t* bgra) const
{
    const uint8_t alpha = bgra[3];
    if (m_identity || alpha == 0)
        return;
    auto straight = [alpha](uint8_t channel) {
        return static_cast<uint8_t>(std::min(255, (channel * 255 + alpha / 2) / alpha));
    };
    uint8_t r = straight(bgra[2]), g = straight(bgra[1]), b = straight(bgra[0]);
    AdjustRgb(r, g, b);
    bgra[0] = static_cast<uint8_t>((b * alpha + 127) / 255);
    bgra[1] = static_cast<uint8_t>((g * alpha + 127) / 255);
    bgra[2] = static_cast<uint8_t>((r * alpha + 127) / 255);
}
