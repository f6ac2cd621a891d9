#pragma once

#include "rip/IfoLanguages.h"
#include "rip/VobSubIndex.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mirtal::cli {

// The VOB files of a job and, when known, the title set's stream languages,
// from the command line's inputs. Shared by every command that rips.
struct JobInput {
    std::vector<std::filesystem::path> vobs;
    // Parallel to vobs: the index of a VobSub .sub, null for a VOB.
    std::vector<std::shared_ptr<const VobSubIndex>> indexes;
    std::optional<std::filesystem::path> ifo; // the IFO or .idx that gave the languages
    StreamLanguages names;
    std::array<std::string, kSubpictureStreams> codes;
    std::string ifoProblem; // a short or unreadable IFO: what was wrong
};

// Inputs are VOB files, folders (their *.VOB files in name order, letter case
// ignored) and VTS_nn_0.IFO files (the title's VTS_nn_1.VOB .. VTS_nn_9.VOB,
// leaving out the menu VTS_nn_0.VOB). Without an IFO input the languages come
// from the VTS_nn_0.IFO beside the first VTS_nn_k.VOB, when there is one.
// A VobSub pair (its .idx or its .sub, the other found beside it) reads as
// its .sub, timed and named by its .idx.
bool resolveInputs(const std::vector<std::string>& inputs, JobInput& out, std::string& error);

// --stream: 1..32, 0x20..0x3F, or a language code of the IFO (first match,
// letter case ignored). Without the option, stream 1 (0x20).
bool chooseStream(const std::optional<std::string>& text, const JobInput& input, uint8_t& streamId,
                  std::string& error);

// --time-code HH:MM:SS,mmm.
bool parseTimeCodeOption(const std::string& text, int32_t& ms, std::string& error);

} // namespace mirtal::cli
