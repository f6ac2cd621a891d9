#pragma once

#include "export/VobSubWriter.h"
#include "rip/VobSubIndex.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace mirtal {

// What a title set IFO says about the picture: the frame size from the
// video attributes and the subpicture palette of the title's first program
// chain. Missing when the file is not a title set IFO or is cut short.
struct IfoTitle {
    int width = 720, height = 576;
    std::optional<VobSubPalette> palette;
};
std::optional<IfoTitle> readIfoTitle(const std::filesystem::path& path);

// A palette entry of a DVD (0, Y, Cr, Cb) as 0xRRGGBB.
uint32_t YCrCbToRgb(uint32_t entry);

// The .idx facts of a job's stream: the title's IFO beside the first
// VTS_nn_k.VOB gives the frame size, the palette and the language; else a
// VobSub input's index gives what it has; what neither gives is the default
// (720 x 576, kDefaultVobSubPalette, no language).
VobSubTrack describeVobSubTrack(const std::vector<std::filesystem::path>& files,
                                const std::vector<std::shared_ptr<const VobSubIndex>>& indexes,
                                uint8_t streamId);

} // namespace mirtal
