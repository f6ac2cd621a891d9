#pragma once

#include <cstdint>
#include <string>

namespace mirtal {

// Everything the rip engine shows in the main window, as texts ready to put
// into the labels. The engine updates it and tells its host when it changed.
struct RipDisplay {
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
    // Glyph shapes of the OCR rip named by the recogniser's votes, and put
    // to the user.
    std::string LabelGlyphsNamed = "0";
    std::string LabelGlyphsAsked = "0";
    std::string pauseCaption = std::string("&Pause ") + char(127);
    bool pauseEnabled = false;
    bool openVobEnabled = true;
};

} // namespace mirtal
