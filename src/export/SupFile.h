#pragma once

#include "base/Files.h"

#include <cstdint>
#include <span>
#include <string>

namespace mirtal {

// prefix + number zero-padded to 6 digits (more digits are written in full)
// + extension: ("C:\out\film", 7, ".bmp") gives "C:\out\film000007.bmp".
std::string pictureFileName(const std::string& prefix, uint32_t number,
                            const std::string& extension);

// Writes the raw subpicture unit, exactly its bytes, replacing any file of
// that name. The write is atomic; a failure names the file and the reason.
Result saveSupFile(const fs::path& path, std::span<const uint8_t> spu);

} // namespace mirtal
