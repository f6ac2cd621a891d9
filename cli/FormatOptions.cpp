#include "FormatOptions.h"

#include "JobInput.h"
#include "base/TextCodec.h"
#include "subtitles/SubtitleFormat.h"

#include <sstream>
#include <tuple>

namespace mirtal::cli {

namespace {

// RRGGBB, as colours are written everywhere else, into 0x00BBGGRR.
bool parseRgb(const std::string& item, Colour& out) {
    if (item.size() != 6 || item.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    uint32_t rgb = uint32_t(std::stoul(item, nullptr, 16));
    out = makeColour(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    return true;
}

} // namespace

bool OptionParser::fail(const std::string& option, const std::string& why) {
    if (error.empty()) error = option + ": " + why;
    return false;
}

bool OptionParser::integer(const char* option, int64_t min, int64_t max, int64_t& out) {
    auto v = args.value(option);
    if (!v) return true;
    if (!parseInteger(*v, out) || out < min || out > max)
        return fail(option, "expected a whole number from " + std::to_string(min) + " to " +
                                std::to_string(max) + ", got \"" + *v + "\"");
    return true;
}

bool OptionParser::signedTime(const char* option, TTimeCode& tc, bool& minus) {
    auto v = args.value(option);
    if (!v) return true;
    std::string text = *v;
    minus = !text.empty() && text[0] == '-';
    if (minus) text.erase(0, 1);
    int32_t ms = 0;
    std::string why;
    if (!parseTimeCodeOption(text, ms, why)) return fail(option, why);
    tc = msToTimeCode(ms);
    return true;
}

bool OptionParser::choice(const char* option, std::initializer_list<const char*> names, int& out) {
    auto v = args.value(option);
    if (!v) return true;
    int i = 0;
    std::string all;
    for (const char* n : names) {
        if (*v == n) {
            out = i;
            return true;
        }
        all += (i++ ? "|" : "") + std::string(n);
    }
    return fail(option, "expected " + all + ", got \"" + *v + "\"");
}

bool OptionParser::yesNo(const char* option, bool& out) {
    int i = out ? 0 : 1;
    if (!choice(option, {"yes", "no"}, i)) return false;
    out = i == 0;
    return true;
}

bool OptionParser::four(const char* option, bool colours, int64_t max, int64_t (&out)[4]) {
    auto v = args.value(option);
    if (!v) return true;
    std::string s = *v;
    int k = 0;
    size_t pos = 0;
    for (; k < 4; ++k) {
        size_t comma = s.find(',', pos);
        std::string item =
            s.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        int64_t value = 0;
        bool ok = false;
        if (colours) {
            Colour c = 0;
            ok = parseRgb(item, c);
            value = c;
        } else {
            ok = parseInteger(item, value) && value >= 0 && value <= max;
        }
        if (!ok || (k < 3 && comma == std::string::npos) || (k == 3 && comma != std::string::npos))
            return fail(option, colours ? "expected four colours RRGGBB,RRGGBB,RRGGBB,RRGGBB"
                                        : "expected four numbers 0.." + std::to_string(max) +
                                              " separated by commas");
        out[k] = value;
        pos = comma + 1;
    }
    return true;
}

bool OptionParser::text(const char* option, std::string& out) {
    if (auto v = args.value(option)) out = utf8ToCp1252(*v);
    return true;
}

namespace {

// --format; "srt" is the name every player knows the native format by.
bool parseFormatChoice(OptionParser& p, std::optional<TOutputFormat>& format) {
    const Args& a = p.args;
    if (a.has("--format")) {
        int chosen = 0;
        if (!p.choice("--format",
                      {"native", "subviewer", "subviewer2", "iauthor", "philips", "sonic", "webvtt",
                       "ass", "srt"},
                      chosen))
            return false;
        format = chosen == kFormatCount ? ofNative : TOutputFormat(chosen);
    }
    return true;
}

// The native format's index offset and coordinates box.
bool parseNativeOptions(OptionParser& p, OutputOptions& o) {
    const Args& a = p.args;
    int64_t n = 0;
    if (a.has("--index-offset")) {
        if (!p.integer("--index-offset", 0, 65535, n)) return false;
        o.native.IndexOffset = uint16_t(n);
    }
    if (a.has("--extended")) o.native.ExtendedFormat = true;
    if (a.has("--no-extended")) o.native.ExtendedFormat = false;
    return true;
}

bool parseSubViewerOptions(OptionParser& p, std::optional<TOutputFormat> format, OutputOptions& o) {
    const Args& a = p.args;
    int64_t n = 0;
    // SubViewer 1 and 2 headers; the title also serves Philips.
    for (std::string* t : {&o.subViewer.Title, &o.subViewer2.Title, &o.philips.Title})
        p.text("--title", *t);
    for (auto [option, one, two] :
         {std::tuple{"--author", &o.subViewer.Author, &o.subViewer2.Author},
          std::tuple{"--source", &o.subViewer.Source, &o.subViewer2.Source},
          std::tuple{"--program", &o.subViewer.Program, &o.subViewer2.Program},
          std::tuple{"--file-path", &o.subViewer.FilePath, &o.subViewer2.FilePath}}) {
        p.text(option, *one);
        p.text(option, *two);
    }
    p.text("--comment", o.subViewer2.Comment);
    if (a.has("--delay")) {
        // SubViewer 2 takes no negative delay.
        if (!p.integer("--delay", format == ofSubViewer2 ? 0 : -65535, 65535, n)) return false;
        o.subViewer.Delay = int32_t(n);
        o.subViewer2.Delay = uint16_t(n < 0 ? 0 : n);
    }
    if (a.has("--cd-track")) {
        if (!p.integer("--cd-track", 0, 255, n)) return false;
        o.subViewer2.CDTrack = uint8_t(n);
    }
    if (a.has("--no-two-line-max")) o.subViewer.TwoLineMax = false;
    if (a.has("--no-round")) o.subViewer.RoundTC = false;
    return true;
}

// The SubViewer 2 font.
bool parseFontOptions(OptionParser& p, OutputOptions& o) {
    const Args& a = p.args;
    int64_t n = 0;
    p.text("--font", o.subViewer2.Font.Name);
    if (a.has("--font-size")) {
        if (!p.integer("--font-size", 1, 999, n)) return false;
        o.subViewer2.Font.PointSize = int(n);
    }
    if (auto style = a.value("--font-style")) {
        FontSpec& f = o.subViewer2.Font;
        f.Bold = f.Italic = f.Underline = f.StrikeOut = false;
        std::istringstream words(*style);
        std::string w;
        while (std::getline(words, w, ',')) {
            if (w == "bold")
                f.Bold = true;
            else if (w == "italic")
                f.Italic = true;
            else if (w == "underline")
                f.Underline = true;
            else if (w == "strikeout")
                f.StrikeOut = true;
            else if (w != "plain")
                return p.fail("--font-style", "expected plain or bold,italic,underline,strikeout");
        }
    }
    if (auto c = a.value("--font-colour"))
        if (!parseRgb(*c, o.subViewer2.Font.Color))
            return p.fail("--font-colour", "expected RRGGBB, got \"" + *c + "\"");

    return true;
}

bool parseScriptOptions(OptionParser& p, std::optional<TOutputFormat> format, OutputOptions& o) {
    const Args& a = p.args;
    int64_t n = 0;
    // Authoring scripts.
    int64_t four[4];
    bool philips = format == ofPhilips;
    if (a.has("--colours")) {
        if (!p.four("--colours", true, 0, four)) return false;
        for (int k = 0; k < 4; ++k)
            (philips ? o.philips.Colors : o.iauthor.Colors)[k] = Colour(four[k]);
    }
    if (a.has("--blend")) {
        if (!p.four("--blend", false, 15, four)) return false;
        for (int k = 0; k < 4; ++k) o.iauthor.Blend[k] = uint8_t(four[k]);
    }
    if (a.has("--contrast")) {
        if (!p.four("--contrast", false, 15, four)) return false;
        for (int k = 0; k < 4; ++k) o.philips.Contrast[k] = uint8_t(four[k]);
    }
    if (a.has("--iauthor-interval")) {
        if (!p.integer("--iauthor-interval", 0, 999, n)) return false;
        o.iauthor.MinInterval = uint16_t(n);
    }
    if (!p.yesNo("--bmp-colours", o.philips.UseBmpColors)) return false;
    int rate = 0;
    if (a.has("--frame-rate")) {
        if (!p.choice("--frame-rate", {"pal", "ntsc"}, rate)) return false;
        o.philips.FrameRate = o.sonic.FrameRate = uint8_t(rate);
    }
    if (a.has("--drop-frame")) {
        bool drop = false;
        if (!p.yesNo("--drop-frame", drop)) return false;
        o.philips.DropFrame = o.sonic.DropFrame = drop;
    }
    return true;
}

} // namespace

bool parseFormatOptions(OptionParser& p, std::optional<TOutputFormat>& format, OutputOptions& o) {
    return parseFormatChoice(p, format) && parseNativeOptions(p, o) &&
           parseSubViewerOptions(p, format, o) && parseFontOptions(p, o) &&
           parseScriptOptions(p, format, o);
}

} // namespace mirtal::cli
