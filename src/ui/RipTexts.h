#pragma once

#include "rip/RipDisplay.h"

#include <string>

namespace mirtal {

// The main window's texts for what the rip engine reports: one per label
// (named as the label), the pause button's caption and the title shown with
// the progress.
struct RipTexts {
    std::string applicationTitle = "Mirtal"; // task-bar text
    std::string LabelVobFile = "None";
    std::string LabelVobNum = "0";
    std::string LabelVobNb = "0";
    std::string LabelNbSup = "0";
    std::string LabelTotalNbSup = "0";
    std::string LabelPos = "Pos/Size Percent";
    int progressPercent = 0;
    std::string LabelTimeElapsed = "00:00:00";
    std::string LabelTimeRemaining;
    std::string LabelTime = "00:00:00,000";  // navigation time
    std::string LabelTime7 = "00:00:00,000"; // stream clock time
    std::string LabelChapters = "0";
    std::string LabelFPS = "FPS";
    std::string LabelGlyphsNamed = "0";
    std::string LabelGlyphsAsked = "0";
    std::string pauseCaption = std::string("&Pause ") + char(127); // 127: the symbol font's pause
    bool pauseEnabled = false;
    bool openVobEnabled = true;
};

RipTexts ripTexts(const RipDisplay& display);

} // namespace mirtal
