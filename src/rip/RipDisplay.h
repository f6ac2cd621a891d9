#pragma once

#include "subtitles/TimeCode.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mirtal {

// The video standard (NTSC 30 or PAL 25 frames a second) read from the
// first navigation pack of the time line.
enum class VideoStandard { Unknown, Ntsc, Pal };

// The rip's position in the job, once the engine has measured it.
struct RipProgress {
    uint64_t positionKb = 0;
    uint64_t totalKb = 0;
};

// Everything the rip engine shows while it works, as values: the hosts turn
// them into their own texts. The engine updates it and tells its host when it
// changed.
struct RipDisplay {
    std::string vobFile; // name of the current file; empty before the first
    uint32_t vobNumber = 0;
    uint32_t vobCount = 0;
    uint32_t filePictures = 0; // subpictures of the current file
    uint32_t jobPictures = 0;  // of the whole job
    std::optional<RipProgress> progress;
    int progressPercent = 0;
    TTimeCode elapsed;
    std::optional<TTimeCode> remaining; // after the first estimate
    TTimeCode navigationTime;
    TTimeCode streamTime;
    uint32_t chapters = 0;
    VideoStandard standard = VideoStandard::Unknown;
    // Glyph shapes of the OCR rip named by the recogniser's votes, and put
    // to the user.
    uint32_t glyphsNamed = 0;
    uint32_t glyphsAsked = 0;
    bool paused = false;
    bool pauseEnabled = false;
    bool openVobEnabled = true;
};

} // namespace mirtal
