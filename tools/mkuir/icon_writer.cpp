#include "tools/mkuir/icon_writer.h"

#include "package/package_trailer.h"

namespace {

void AppendLittleEndian16(std::string& out, uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

// BITMAPINFOHEADER, bottom-up BGRA rows, then the 1-bit AND mask (rows padded to 32 bits). The
// header's height counts both the colour rows and the mask rows.
std::string EncodeDib(const RgbaImage& image)
{
    std::string dib;
    AppendLittleEndian32(dib, 40);
    AppendLittleEndian32(dib, static_cast<uint32_t>(image.width));
    AppendLittleEndian32(dib, static_cast<uint32_t>(image.height * 2));
    AppendLittleEndian16(dib, 1);   // planes
    AppendLittleEndian16(dib, 32);  // bits per pixel
    AppendLittleEndian32(dib, 0);   // BI_RGB
    const uint32_t maskStride = ((image.width + 31) / 32) * 4;
    AppendLittleEndian32(dib, static_cast<uint32_t>(image.width * image.height * 4) + maskStride * image.height);
    for (int i = 0; i < 4; ++i)
        AppendLittleEndian32(dib, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            dib += static_cast<char>(p[2]);
            dib += static_cast<char>(p[1]);
            dib += static_cast<char>(p[0]);
            dib += static_cast<char>(p[3]);
        }
    }
    // The mask marks fully transparent pixels, for systems that ignore the alpha channel.
    for (int y = image.height - 1; y >= 0; --y) {
        std::string row(maskStride, '\0');
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y)[3] == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        dib += row;
    }
    return dib;
}

}  // namespace

bool EncodeIcon(const std::vector<RgbaImage>& images, std::string& bytes, std::string& error)
{
    std::vector<std::string> entries;
    for (const RgbaImage& image : images) {
        if (image.width != image.height || image.width < 1 || image.width > 256) {
            error = "icon pictures must be square and 1 to 256 px, not " + std::to_string(image.width) + " x " +
                    std::to_string(image.height);
            return false;
        }
        std::string entry;
        if (image.width == 256) {
            if (!EncodePng(image, entry, error))
                return false;
        } else {
            entry = EncodeDib(image);
        }
        entries.push_back(std::move(entry));
    }
    bytes.clear();
    AppendLittleEndian16(bytes, 0);  // reserved
    AppendLittleEndian16(bytes, 1);  // type: icon
    AppendLittleEndian16(bytes, static_cast<uint16_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int size = images[i].width;
        bytes += static_cast<char>(size == 256 ? 0 : size);  // 0 stands for 256
        bytes += static_cast<char>(size == 256 ? 0 : size);
        bytes += '\0';  // no palette
        bytes += '\0';
        AppendLittleEndian16(bytes, 1);   // planes
        AppendLittleEndian16(bytes, 32);  // bits per pixel
        AppendLittleEndian32(bytes, static_cast<uint32_t>(entries[i].size()));
        AppendLittleEndian32(bytes, offset);
        offset += static_cast<uint32_t>(entries[i].size());
    }
    for (const std::string& entry : entries)
        bytes += entry;
    return true;
}
