#pragma once

#include "base/DialogHost.h"
#include "base/MessageCatalogue.h"
#include "subtitles/SubtitleDocument.h"

#include <cstdint>
#include <string>

namespace mirtal {

// Where the split dialog draws the part that will be saved inside the bar of
// the whole file, in the bar's pixels, and the texts of its labels.
struct SplitBarGeometry {
    int fillLeft = 0;  // left edge of the saved part
    int fillWidth = 0; // its width
    std::string endText, startText, stopText;

    int fillRight() const { return fillLeft + fillWidth; }
    // Left edge of a label of the given width centred on a point.
    static int centredLeft(int at, int labelWidth) { return at - labelWidth / 2; }
};

// Computed in whole seconds; an empty file counts as one second long.
SplitBarGeometry computeSplitBar(TTimeCode start, TTimeCode stop, TTimeCode end, int barLeft,
                                 int barWidth);

// The file end the dialog shows: the stop of the last entry, zero when empty.
TTimeCode splitFileEnd(const SubtitleStore& store);

// OK: with the box ticked a stop before the start is refused with a message
// (false, nothing changes); otherwise the window is stored, even unticked,
// and the list rebuilt.
bool applySplitWindow(SubtitleDocument& doc, const SplitWindow& window, DialogHost& host,
                      const MessageCatalogue& messages);

} // namespace mirtal
