#pragma once

#include "base/DialogHost.h"
#include "base/MessageCatalogue.h"
#include "subtitles/SubtitleDocument.h"
#include "subtitles/SubtitleStore.h"

#include <cstdint>

namespace mirtal {

enum class DurationMethod : uint8_t { Fixed = 0, Proportional = 1 };

// The values of the time correction dialog.
struct TimeCorrection {
    TTimeCode Offset;
    bool MinusOffset = false;
    TTimeCode Stretch;
    bool MinusStretch = false;
    bool ChangeDurations = false;
    DurationMethod Method = DurationMethod::Proportional;
    uint16_t FixedDuration = 4000; // ms
    uint16_t OffsetDuration = 500; // ms
    uint16_t MsPerChar = 50;
    uint16_t MinInterval = 0; // ms; 0 leaves the gaps alone
};

enum class StepResult { Applied, Declined, Refused };

// Shifts every entry by deltaMs. A start that would fall to zero or below
// asks first; No leaves that entry and all later ones as they were
// (Declined). Stops are clamped to zero.
StepResult applyOffset(SubtitleStore& store, int32_t deltaMs, DialogHost& host,
                       const MessageCatalogue& messages);
// Scales every time about zero so that the last start moves by stretchMs
// (less with minus). Refused, with a message, when that cannot be done.
StepResult applyStretch(SubtitleStore& store, int32_t stretchMs, bool minus, DialogHost& host,
                        const MessageCatalogue& messages);
// Each stop = start + base + characters x perChar, but never past the next start.
void recomputeDurations(SubtitleStore& store, int32_t baseMs, int32_t perCharMs);
void applyMinimumInterval(SubtitleStore& store, int32_t minMs);

// What became of the two steps that can ask or refuse.
struct TimeCorrectionReport {
    StepResult offset = StepResult::Applied;
    StepResult stretch = StepResult::Applied;
};

// Correct Time: offset, stretch, durations, minimum interval, in that order,
// then the list is rebuilt. Nothing happens with an empty store.
TimeCorrectionReport correctTime(SubtitleDocument& doc, const TimeCorrection& request,
                                 DialogHost& host, const MessageCatalogue& messages);

// Reported when a stretch is asked for while the last entry starts at zero.
std::string zeroStretchMessage();

} // namespace mirtal
