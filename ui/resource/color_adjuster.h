#pragma once

// ColorAdjuster: the colour adjustment of skin images and colours, in the HSL colour model.
//
// The three values act like this:
//   hue         clamped to -180..180; the hue is turned by that many degrees.
//   saturation  clamped to -100..100; the saturation is multiplied by (100 + value) / 100 and
//               held to 0..1, so -100 gives grey and greys never take on a tint.
//   lightness   clamped to -100..100; below 0 the lightness falls linearly towards black
//               (L * (100 + value) / 100), above 0 it rises linearly towards white
//               (L + (1 - L) * value / 100), so -100 gives black and 100 white.
//
// The lightness curve is a 511-entry table indexed by max + min of the 8-bit channels (twice the
// lightness, so every 8-bit colour finds its exact entry); the saturation is one factor. Every
// channel of the result is rounded to the nearest 8-bit value, so a hue turn of a pure colour
// lands exactly on another pure colour. All three values 0 is the identity, and then no pixel or
// colour is touched at all.

#include <cstdint>

class ColorAdjuster {
public:
    ColorAdjuster(int hue, int saturation, int lightness);

    bool IsIdentity() const { return m_identity; }

    // A COLORREF (r | g << 8 | b << 16); the top byte is kept as it is.
    uint32_t AdjustColorRef(uint32_t color) const;
    void AdjustRgb(uint8_t& r, uint8_t& g, uint8_t& b) const;
    // One pixel of a 32-bit bitmap in blue, green, red, alpha order with premultiplied alpha:
    // the colour is un-premultiplied, adjusted and premultiplied again; alpha stays.
    void AdjustPremultiplied(uint8_t* bgra) const;

private:
    bool m_identity;
    double m_hueShift;          // degrees
    double m_saturationFactor;  // (100 + saturation) / 100
    double m_lightness[511];    // new lightness (0..1) by max + min
};
