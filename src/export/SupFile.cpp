#include "export/SupFile.h"

#include <string_view>

namespace mirtal {

std::string pictureFileName(const std::string& prefix, uint32_t number,
                            const std::string& extension) {
    std::string digits = std::to_string(number);
    if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
    return prefix + digits + extension;
}

Result saveSupFile(const fs::path& path, std::span<const uint8_t> spu) {
    return writeFileAtomic(path,
                           std::string_view(reinterpret_cast<const char*>(spu.data()), spu.size()));
}

} // namespace mirtal
