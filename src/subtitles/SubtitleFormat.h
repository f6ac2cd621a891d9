#pragma once

#include "subtitles/BannerClock.h"
#include "subtitles/OutputOptions.h"
#include "subtitles/SplitWindow.h"
#include "subtitles/SubtitleStore.h"

#include <string>
#include <vector>

namespace mirtal {

using TextLines = std::vector<std::string>;

// What a renderer may look at besides the entry it renders.
struct RenderContext {
    const SubtitleStore& store;
    const OutputOptions& options;
    const SplitWindow& split;
    const BannerClock& clock;
};

// One output format: its list rendering and the file that Save As writes.
class SubtitleFormat {
public:
    virtual ~SubtitleFormat() = default;
    virtual TOutputFormat id() const = 0;
    // Without the dot: "vtx". The file name extension and the save dialog's default.
    virtual const char* extension() const = 0;
    virtual const char* saveFilter() const = 0;
    // Options the format forces while it is chosen.
    virtual void prepareOptions(OutputOptions&) const {}
    // Lines that refreshList writes before the first entry.
    virtual void renderHeader(const RenderContext&, TextLines&) const {}
    // Appends the lines of one entry (a copy, already clipped by the split
    // window) at store position index.
    virtual void renderEntry(const RenderContext& ctx, const TSub& entry, int index,
                             TextLines& out) const = 0;
    // The bytes of the saved file; by default the list lines, each ending in CR LF.
    virtual std::string fileText(const RenderContext& ctx, const TextLines& list) const;
    // The encoding the file is saved in; formats that know only UTF-8 ignore the choice.
    virtual TextEncoding fileEncoding(TextEncoding chosen) const { return chosen; }
};

std::string joinCrLf(const TextLines& lines);
// zeroPad(v, 3) cut to its first three characters: 1024 gives 102.
std::string threeCharText(int64_t value);

// A subtitle whose picture sat above the middle of the frame (of an NTSC
// frame, and so of a PAL one too): a sign or a song placed on top, which the
// formats that can place text keep on top. An unknown rectangle is not.
bool sitsAtTop(const TSub& entry);
// The stop to write where a format needs one after the start: a stop not
// yet known (or before the start) is taken as the start.
TTimeCode stopNotBeforeStart(const TSub& entry);

// The renderer of a format; a value out of range gets the native one.
const SubtitleFormat& formatFor(TOutputFormat format);
constexpr int kFormatCount = 8;

} // namespace mirtal
