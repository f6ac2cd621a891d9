#pragma once

#include "Args.h"
#include "base/Files.h"
#include "rip/IfoLanguages.h"
#include "rip/RipJob.h"
#include "rip/StreamMap.h"
#include "rip/Titles.h"
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
    StreamMap map;          // the substreams of a 16:9 title's streams
    bool damaged = false;   // refused because an input is damaged, not because of the command line
    // Empty, or one per file of vobs: the packs of a title's cells (--dvd-title).
    std::vector<PackRange> ranges;
    FileStretch titleStart; // where the title's first cell begins
};

// The subpicture stream a job reads.
struct StreamChoice {
    uint8_t id = 0x20;
    int line = 0; // 0-based stream number; -1 for a substream id no stream has
    SubpictureView view = SubpictureView::Wide;
};

// Inputs are VOB files, folders (their *.VOB files in name order, letter case
// ignored) and VTS_nn_0.IFO files (the title's VTS_nn_1.VOB .. VTS_nn_9.VOB,
// leaving out the menu VTS_nn_0.VOB). Without an IFO input the languages come
// from the VTS_nn_0.IFO beside the first VTS_nn_k.VOB, when there is one.
// A VobSub pair (its .idx or its .sub, the other found beside it) reads as
// its .sub, timed and named by its .idx. A FIFO or device is refused before
// anything waits on it.
bool resolveInputs(const std::vector<std::string>& inputs, JobInput& out, std::string& error);

// --stream: 1..32, 0x20..0x3F, or a language code of the IFO (first match,
// letter case ignored); without it, stream 1. A 16:9 title's stream reads
// the substream of its --view (wide by default) through the IFO's table;
// elsewhere stream k is substream 0x1F + k and there is no view to choose.
bool chooseStream(const Args& args, const JobInput& input, StreamChoice& out, std::string& error);

// --dvd-title N with --chapters A-B and --angle N: the job reads the cells of
// that title of the IFO input's title set, in playing order. Without
// --dvd-title the files are read whole (and --chapters or --angle refused).
bool chooseTitle(const Args& args, JobInput& input, std::string& error);

// The titles of the title set an IFO input names, for --list-titles and
// --dvd-title all; false with a message when the input is not one.
bool titlesOfInput(const JobInput& input, std::vector<Title>& titles, std::string& error);

// --from-video-start, or FromVideoStart=1 in the --settings file. A file
// without the key keeps the stream clock, as mirtal-rip always did.
bool timesFromVideoStart(const Args& args);

// "N damaged (skipped), " for the totals line of a job that skipped some; empty otherwise.
std::string damagedNote(const RipJob& job);

// The files a rip reads, for refusing an output that would replace one.
std::vector<FileInUse> filesInUse(const JobInput& input);

// A file an option names to be read (--settings, --profile): false with a
// message when it is missing or is no regular file.
bool checkOptionFile(const std::string& path, std::string_view option, std::string& error);

// The exit status of a refusal by resolveInputs.
int refusalStatus(const JobInput& input);

// --time-code HH:MM:SS,mmm.
bool parseTimeCodeOption(const std::string& text, int32_t& ms, std::string& error);

} // namespace mirtal::cli
