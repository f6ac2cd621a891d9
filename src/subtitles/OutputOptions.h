#pragma once

#include "base/Colour.h"
#include "base/TextCodec.h"

#include <cstdint>
#include <string>

namespace mirtal {

// Output formats, in the order of the output format dialog's tabs.
enum TOutputFormat : uint8_t {
    ofNative = 0,
    ofSubViewer = 1,
    ofSubViewer2 = 2,
    ofIAuthor = 3,
    ofPhilips = 4,
    ofSonic = 5,
    ofWebVtt = 6,
    ofAss = 7,
};

struct NativeOptions {
    uint16_t IndexOffset = 0;    // live
    bool ExtendedFormat = false; // stored
};

struct SubViewerOptions { // all live
    std::string Title, Author, Source = "Subtitles captured by Mirtal 0.93b", Program, FilePath;
    int32_t Delay = 0; // -65535..65535
    bool TwoLineMax = true;
    bool RoundTC = true;
};

struct FontSpec {
    std::string Name = "Arial";
    int PointSize = 18;
    bool Bold = true, Italic = false, Underline = false, StrikeOut = false;
    Colour Color = 0xFFFFFF;
};

struct SubViewer2Options { // all live
    std::string Title, Author, Source = "Subtitles captured by Mirtal 0.93b", Program, FilePath,
                               Comment;
    uint16_t Delay = 0;
    uint8_t CDTrack = 0;
    FontSpec Font;
};

struct IAuthorOptions { // stored
    Colour Colors[4] = {0x000000, 0xFFFFFF, 0x000000, 0x808080};
    uint8_t Blend[4] = {0, 15, 15, 15};
    uint16_t MinInterval = 10;
};

struct PhilipsOptions {
    Colour Colors[4] = {0x000000, 0xFFFFFF, 0x000000, 0x808080}; // stored
    uint8_t Contrast[4] = {0, 15, 15, 15};                       // stored
    bool UseBmpColors = true;                                    // stored
    uint8_t FrameRate = 0;                                       // stored: 0 PAL, 1 NTSC
    bool DropFrame = true;                                       // stored
    std::string Title;                                           // live
};

struct SonicOptions { // stored for the run, not in the settings file
    uint8_t FrameRate = 0;
    bool DropFrame = false;
};

// Every option of every output format.
struct OutputOptions {
    NativeOptions native;
    SubViewerOptions subViewer;
    SubViewer2Options subViewer2;
    IAuthorOptions iauthor;
    PhilipsOptions philips;
    SonicOptions sonic;
    // Stored: how every subtitle file is written and the native one read.
    TextEncoding Encoding = TextEncoding::Cp1252;
};

} // namespace mirtal
