// Writes a picture as an 8-bit RGB PNG (alpha dropped).
#pragma once

#include "picture.h"

#include <string>

namespace inkq {

bool writePng(const std::string& path, const Picture& picture);

} // namespace inkq
