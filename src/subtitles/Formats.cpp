#include "subtitles/AssFormat.h"
#include "subtitles/IAuthorFormat.h"
#include "subtitles/NativeFormat.h"
#include "subtitles/PhilipsFormat.h"
#include "subtitles/SonicFormat.h"
#include "subtitles/SubViewer2Format.h"
#include "subtitles/SubViewerFormat.h"
#include "subtitles/WebVttFormat.h"

namespace mirtal {

namespace {

const NativeFormat kNative;
const SubViewerFormat kSubViewer;
const SubViewer2Format kSubViewer2;
const IAuthorFormat kIAuthor;
const PhilipsFormat kPhilips;
const SonicFormat kSonic;
const WebVttFormat kWebVtt;
const AssFormat kAss;

// In TOutputFormat order: the order of the output format dialog's tabs.
const SubtitleFormat* const kFormats[kFormatCount] = {
    &kNative, &kSubViewer, &kSubViewer2, &kIAuthor, &kPhilips, &kSonic, &kWebVtt, &kAss,
};

} // namespace

const SubtitleFormat& formatFor(TOutputFormat format) {
    return unsigned(format) < unsigned(kFormatCount) ? *kFormats[format] : kNative;
}

} // namespace mirtal
