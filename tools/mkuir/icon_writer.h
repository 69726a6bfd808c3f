#pragma once

// Writes a Windows icon file (.ico) from square RGBA pictures. Sizes below 256 are stored as
// 32-bit DIBs with an AND mask, which every Windows version reads; 256 is stored as PNG, the form
// Windows Vista and later expect for it.

#include <string>
#include <vector>

#include "tools/mkuir/rgba_image.h"

bool EncodeIcon(const std::vector<RgbaImage>& images, std::string& bytes, std::string& error);
