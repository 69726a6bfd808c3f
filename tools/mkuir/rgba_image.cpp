#include "tools/mkuir/rgba_image.h"

#include <png.h>

#include <cstring>

bool DecodePng(const std::string& bytes, RgbaImage& image, std::string& error)
{
    png_image reader;
    std::memset(&reader, 0, sizeof reader);
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&reader, bytes.data(), bytes.size())) {
        error = std::string("not a readable PNG (") + reader.message + ")";
        return false;
    }
    reader.format = PNG_FORMAT_RGBA;
    RgbaImage decoded(static_cast<int>(reader.width), static_cast<int>(reader.height));
    if (!png_image_finish_read(&reader, nullptr, decoded.pixels.data(), 0, nullptr)) {
        error = std::string("PNG decoding failed (") + reader.message + ")";
        png_image_free(&reader);
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool EncodePng(const RgbaImage& image, std::string& bytes, std::string& error)
{
    png_image writer;
    std::memset(&writer, 0, sizeof writer);
    writer.version = PNG_IMAGE_VERSION;
    writer.width = static_cast<png_uint_32>(image.width);
    writer.height = static_cast<png_uint_32>(image.height);
    writer.format = PNG_FORMAT_RGBA;
    // The first call only measures; the second writes into a buffer of that size.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&writer, nullptr, &size, 0, image.pixels.data(), 0, nullptr)) {
        error = std::string("PNG encoding failed (") + writer.message + ")";
        return false;
    }
    bytes.assign(size, '\0');
    if (!png_image_write_to_memory(&writer, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
        error = std::string("PNG encoding failed (") + writer.message + ")";
        return false;
    }
    bytes.resize(size);
    return true;
}

RgbaImage Crop(const RgbaImage& source, int x, int y, int w, int h)
{
    RgbaImage part(w, h);
    for (int row = 0; row < h; ++row)
        std::memcpy(part.At(0, row), source.At(x, y + row), static_cast<size_t>(w) * 4);
    return part;
}

void Blit(const RgbaImage& source, RgbaImage& target, int x, int y)
{
    for (int row = 0; row < source.height; ++row)
        std::memcpy(target.At(x, y + row), source.At(0, row), static_cast<size_t>(source.width) * 4);
}
