#pragma once

#include "base/Bitmap.h"
#include "base/Files.h"

#include <string>

namespace mirtal {

// Pixels per metre written in both resolution fields: 72 dots per inch.
constexpr int32_t kBmpPixelsPerMetre = 2835;

// The bytes of a Windows BMP file for a 4- or 8-bit output bitmap: a
// 40-byte information header, a 16-entry colour table (for both depths) and
// bottom-up rows padded to 4 bytes.
std::string encodeBitmapFile(const PaletteBitmap& bitmap);

// Writes the bitmap as a BMP file, replacing any file of that name.
Result saveBitmapFile(const PaletteBitmap& bitmap, const fs::path& path);

} // namespace mirtal
