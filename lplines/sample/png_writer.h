// Writes a picture as an 8-bit RGB PNG (alpha dropped).
#pragma once

#include "pixels.h"

#include <string>

namespace lplines {

bool writePng(const std::string& path, const PixelView& picture);

} // namespace lplines
