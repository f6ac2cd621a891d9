#include "ui/RipTexts.h"

namespace mirtal {

namespace {

const char* const kPauseCaption = "&Pause \x7f";
const char* const kContinueCaption = "Co&ntinue >";

// hh:mm:ss of a time code.
std::string clockText(const TTimeCode& time) {
    return timeCodeToStr(time).substr(0, 8);
}

std::string standardText(VideoStandard standard) {
    switch (standard) {
    case VideoStandard::Ntsc:
        return "NTSC 30 Fps";
    case VideoStandard::Pal:
        return "PAL 25 Fps";
    case VideoStandard::Unknown:
        break;
    }
    return "FPS";
}

} // namespace

RipTexts ripTexts(const RipDisplay& d) {
    RipTexts t;
    if (!d.vobFile.empty()) t.LabelVobFile = d.vobFile;
    t.LabelVobNum = std::to_string(d.vobNumber);
    t.LabelVobNb = std::to_string(d.vobCount);
    t.LabelNbSup = std::to_string(d.filePictures);
    t.LabelTotalNbSup = std::to_string(d.jobPictures);
    if (d.progress) {
        const std::string percent = std::to_string(d.progressPercent);
        t.applicationTitle += " - " + percent + "%";
        t.LabelPos = std::to_string(d.progress->positionKb >> 10) + "/" +
                     std::to_string(d.progress->totalKb >> 10) + " MB (" + percent + "%)";
    }
    t.progressPercent = d.progressPercent;
    t.LabelTimeElapsed = clockText(d.elapsed);
    if (d.remaining) t.LabelTimeRemaining = clockText(*d.remaining);
    t.LabelTime = timeCodeToStr(d.navigationTime);
    t.LabelTime7 = timeCodeToStr(d.streamTime);
    t.LabelChapters = std::to_string(d.chapters);
    t.LabelFPS = standardText(d.standard);
    t.LabelGlyphsNamed = std::to_string(d.glyphsNamed);
    t.LabelGlyphsAsked = std::to_string(d.glyphsAsked);
    t.pauseCaption = d.paused ? kContinueCaption : kPauseCaption;
    t.pauseEnabled = d.pauseEnabled;
    t.openVobEnabled = d.openVobEnabled;
    return t;
}

} // namespace mirtal
