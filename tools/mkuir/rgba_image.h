#pragma once

// RgbaImage: an 8-bit RGBA picture with straight (not premultiplied) alpha, rows top-down, the
// form rsvg-convert writes and the sprite sheet is stored in. PNG goes in and out through
// libpng's simplified interface, which writes no time stamps, so the same pixels always give
// the same bytes.

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // width * height * 4 bytes: R, G, B, A

    RgbaImage() = default;
    RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4, 0) {}

    uint8_t* At(int x, int y) { return pixels.data() + (static_cast<size_t>(y) * width + x) * 4; }
    const uint8_t* At(int x, int y) const { return pixels.data() + (static_cast<size_t>(y) * width + x) * 4; }
    bool operator==(const RgbaImage& other) const
    {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// Decodes PNG bytes of any colour type into RGBA. False with a reason on failure.
bool DecodePng(const std::string& bytes, RgbaImage& image, std::string& error);
// Encodes the image as an 8-bit RGBA PNG.
bool EncodePng(const RgbaImage& image, std::string& bytes, std::string& error);

// The part (x, y, w, h) of source; the caller has checked that it lies inside.
RgbaImage Crop(const RgbaImage& source, int x, int y, int w, int h);
// Copies source into target with its top-left corner at (x, y); the caller has checked the fit.
void Blit(const RgbaImage& source, RgbaImage& target, int x, int y);
