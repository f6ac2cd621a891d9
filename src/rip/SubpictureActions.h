#pragma once

#include "base/Colour.h"
#include "base/Result.h"
#include "rip/Subpicture.h"

#include <cstdint>
#include <span>
#include <string>

namespace mirtal {

class RipEngine;

// One decoded subpicture as handed to an action.
struct SubpictureEvent {
    const Subpicture& picture;    // decoded: sequences, rectangle, work bitmap
    Rect rect;                    // display rectangle of the first control sequence
    DisplayTimes times;           // start, and stop (zero while open)
    uint32_t number = 0;          // TotalPictures: the job's running subpicture count
    std::string fileName;         // the picture file for the BMP action, else empty
    std::span<const uint8_t> spu; // the raw unit
};

// The per-subpicture work of the OCR, BMP and show-only actions. The engine
// decodes the subpicture, computes its times and calls one of these; the
// engine reference gives access to the job, the host, addFileNameEntry and
// the pause contracts. An exception thrown here is reported to the user and
// the job pauses at this subpicture, so Continue processes it again.
class SubpictureActions {
public:
    virtual ~SubpictureActions() = default;
    // Action 1: only called for displayable subpictures, after the previous
    // open subtitle has been closed at this start.
    virtual void recognise(RipEngine& engine, const SubpictureEvent& event) = 0;
    // Action 2: compose, optionally addFileNameEntry, show and save event.fileName.
    virtual Result saveBitmap(RipEngine& engine, const SubpictureEvent& event) = 0;
    // Action 4: compose, show and wait at the progression controller.
    virtual void show(RipEngine& engine, const SubpictureEvent& event) = 0;
};

} // namespace mirtal
