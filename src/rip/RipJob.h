#pragma once

#include "export/VobSubWriter.h"
#include "subtitles/TimeCode.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace mirtal {

struct VobSubIndex;

enum RipAction : uint8_t {
    kActionOcr = 1,
    kActionBmp = 2,
    kActionSup = 3,
    kActionShow = 4,
    kActionVobSub = 5,
};

// The packs [first, end) of a file that a job reads: the whole file, or a
// title's cell (or the part of one that lies in that file).
struct PackRange {
    uint32_t first = 0;
    uint32_t end = UINT32_MAX;
    // An angle's cell of an interleaved block: the other angles' units lie
    // between its own, and each navigation pack names the next of its own.
    bool interleaved = false;
    bool wholeFile() const { return first == 0 && end == UINT32_MAX; }
    bool operator==(const PackRange&) const = default;
};

// The one rip job: its files, stream, action, counters and pause state.
struct RipJob {
    static constexpr size_t kMaxFiles = 1024;

    std::vector<std::filesystem::path> FileList;
    std::vector<uint32_t> FileSizeKb;  // per file of FileList; 0 when not found at start
    std::vector<PackRange> FileRanges; // per file of FileList
    uint64_t TotalSizeKb = 0;
    uint32_t CurrentFile = 1; // 1-based; past the end = job finished
    uint32_t ContinuePack = 0;
    // Set when ContinuePack was fixed by a dialog (re-read of an interrupted
    // SPU), so that a pause keeps it even when it is pack 0.
    bool ContinuePackFixed = false;
    uint32_t SubpictureStartPack = 0;
    uint8_t SubtitleStreamId = 0x20;
    uint8_t Action = kActionOcr;
    bool WithTimingAndPosition = false;
    // Only subpictures started by the forced start command are handled;
    // the others are passed over and not counted.
    bool ForcedOnly = false;
    // Per file of FileList: the .idx of a VobSub .sub, whose timestamps time
    // the subpictures; null for a VOB.
    std::vector<std::shared_ptr<const VobSubIndex>> FileIndex;
    bool Busy = false;
    bool Paused = true;
    TTimeCode Elapsed;
    uint32_t VobPictures = 0;
    uint32_t TotalPictures = 0;
    // Of TotalPictures: units too damaged to draw, skipped and reported.
    uint32_t DamagedPictures = 0;
    // Subpictures that a VobSub index lists but its .sub does not hold.
    uint32_t MissingPictures = 0;
    // One line per skipped or missing picture, reported when the job ends.
    std::vector<std::string> Problems;

    // Chosen with the job, used by the picture actions.
    std::string PicturePrefix;        // beginning of the BMP/SUP file names
    std::filesystem::path VobSubName; // NAME of NAME.idx + NAME.sub
    VobSubTrack VobSubInfo;           // what its .idx says
    bool ShowSubPict = false;         // the main window's "Show Pict." box
    bool NoStop = false;              // the progression controller's "no stop" choice

    bool finished() const { return CurrentFile > FileList.size(); }
};

} // namespace mirtal
