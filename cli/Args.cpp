#include "Args.h"

#include "Commands.h"

#include <algorithm>
#include <array>

namespace mirtal::cli {

namespace {

// Add one line per new option. Options that a command does not use are
// accepted and ignored by it.
constexpr std::array kOptions = {
    OptionSpec{"--help", "-h", "", "show this help and exit"},
    OptionSpec{"--version", "", "", "show the version and exit"},
    OptionSpec{"--stream", "-s", "S",
               "subpicture stream: 1..32, substream id 0x20..0x3F, or a language code "
               "from the IFO (e.g. fr); default 1"},
    OptionSpec{"--view", "", "wide|letterbox|panscan",
               "16:9 title: the substream of the stream drawn for the widescreen picture "
               "(default) or its letterbox or pan-scan variant, as the IFO maps them"},
    OptionSpec{"--time-code", "", "HH:MM:SS,mmm",
               "Last TimeCode: the first pack is timed at this time (continues a time line)"},
    OptionSpec{"--from-video-start", "", "",
               "times from the first video frame (where a remuxed film starts) rather than "
               "from the stream clock; also where the --settings file says FromVideoStart=1"},
    OptionSpec{"--dvd-title", "", "N|all",
               "read title N of the title set (a VTS_nn_0.IFO input) cell by cell as a player "
               "plays it, timed from its start; all: one job and one output per title, named "
               "with _titleN (see --list-titles)"},
    OptionSpec{"--chapters", "", "A[-B]",
               "with --dvd-title: only these chapters, timed from the first one's start"},
    OptionSpec{"--angle", "", "N",
               "with --dvd-title: the angle of a multi-angle title (default 1)"},
    OptionSpec{"--forced-only", "", "",
               "keep only the subpictures started by the forced start command (lines meant to "
               "be shown even with subtitles off); the others are not counted"},
    OptionSpec{"--answer", "", "yes|no",
               "answer to yes/no questions when standard input is not a terminal (default yes: "
               "a bad pack is skipped and reading goes on)"},
    OptionSpec{"--progress", "", "", "show the progress on standard error"},
    OptionSpec{"--matrix", "-m", "FILE", "character matrix file (.qmx)"},
    OptionSpec{"--format", "-f", "NAME",
               "output subtitle format: native (also called srt), subviewer, subviewer2, iauthor, "
               "philips, sonic, webvtt or ass (these two always UTF-8)"},
    OptionSpec{"--output", "-o", "FILE", "output file"},
    OptionSpec{"--prefix", "-p", "PATH",
               "beginning of the picture file names (BMP/SUP): PATH000001.bmp, ...; its folder "
               "must exist"},
    OptionSpec{"--timing", "", "",
               "with the pictures, list their times and positions (+ TC & Res.) in the "
               "subtitle file (-o, else standard output)"},
    OptionSpec{"--settings", "", "FILE",
               "settings file (Mirtal.ini) to use: its BMP OUT, IAUTHOR OUTPUT, PHILIPS OUTPUT "
               "and MIRTAL OUTPUT sections, and OCR SETTING for --action ocr"},
    OptionSpec{"--profile", "", "FILE",
               "bitmap settings profile (its three BMP OUT sections; applied after --settings)"},
    OptionSpec{
        "--ask", "", "",
        "with --action show: wait after each picture on a terminal (Enter: next, s: no stop, "
        "p: stop the job); --action ocr: ask for unknown glyphs even without a terminal"},
    OptionSpec{"--no-ask", "", "",
               "with --action ocr: never ask; unknown glyphs are written as the "
               "currency sign and counted"},
    OptionSpec{"--text-color", "", "0..3|auto",
               "with --action ocr: subpicture colour code of the text (default auto: the guess)"},
    OptionSpec{"--space-width", "", "N|auto",
               "with --action ocr: empty columns between two glyphs that make a space (-10..45); "
               "auto: both widths chosen from the gaps of the rip, N and the italic width "
               "serving until enough are seen (the settings' AutoSpaceWidth, on for new "
               "settings)"},
    OptionSpec{"--italic-space-width", "", "N",
               "with --action ocr: the same after a glyph set closely to its neighbour (-10..45)"},
    OptionSpec{"--no-save-matrix", "", "", "with --action ocr: keep the matrix file as it is"},
    OptionSpec{"--no-fix-quotes", "", "", "with --action ocr: leave doubled quotes as read"},
    OptionSpec{"--name-glyphs", "", "ask|suggest|auto",
               "with --action ocr: new glyph shapes are asked (ask), asked with Tesseract's "
               "reading filled in (suggest), or named by the majority of Tesseract's readings "
               "over the lines they occur in, only contested shapes being asked (auto); "
               "default: the settings file's, else ask"},
    OptionSpec{"--ocr-language", "", "CODE",
               "with --action ocr: Tesseract's language (en, fr, eng, fra, ...); default: the "
               "stream's language from the IFO or .idx, else English"},
    OptionSpec{"--read", "", "FILE", "subtitle file to read"},
    OptionSpec{"--offset", "", "TIME", "time offset to apply"},
    // --convert: corrections, applied in this order.
    OptionSpec{"--stretch", "", "[-]HH:MM:SS,mmm",
               "move the last start by this much, scaling every time about zero"},
    OptionSpec{"--durations", "", "fixed:MS|OFFSET+PERCHAR",
               "new stops: start + MS, or start + OFFSET + PERCHAR x characters; never past "
               "the next start"},
    OptionSpec{"--min-interval", "", "MS", "shorten stops to keep MS between subtitles"},
    OptionSpec{"--fix-quotes", "", "",
               "replace doubled ' or \" by one \" (--action ocr: the default)"},
    OptionSpec{"--fix-il", "", "en|fr|de", "repair I and l confusions by the language's rules"},
    OptionSpec{"--split", "", "START-STOP",
               "keep the subtitles starting in [START, STOP), cut at STOP, times from zero"},
    // Output format options of --convert, --action ocr and --timing.
    OptionSpec{"--index-offset", "", "N",
               "native: first number - 1 (default: the read file's, else the settings file's)"},
    OptionSpec{"--extended", "", "", "native: write picture coordinates"},
    OptionSpec{"--no-extended", "", "", "native: plain time lines"},
    OptionSpec{"--title", "", "TEXT", "SubViewer 1/2 and Philips title"},
    OptionSpec{"--author", "", "TEXT", "SubViewer 1/2 author"},
    OptionSpec{"--source", "", "TEXT", "SubViewer 1/2 source"},
    OptionSpec{"--program", "", "TEXT", "SubViewer 1/2 program"},
    OptionSpec{"--file-path", "", "TEXT", "SubViewer 1/2 file path"},
    OptionSpec{"--comment", "", "TEXT", "SubViewer 2 comment"},
    OptionSpec{"--delay", "", "N", "SubViewer 1 (-65535..65535) or 2 (0..65535) delay"},
    OptionSpec{"--cd-track", "", "N", "SubViewer 2 CD track"},
    OptionSpec{"--no-two-line-max", "", "", "SubViewer 1: separate every line with |"},
    OptionSpec{"--no-round", "", "", "SubViewer 1: cut the milliseconds instead of rounding"},
    OptionSpec{"--font", "", "NAME", "SubViewer 2 font (default Arial)"},
    OptionSpec{"--font-size", "", "N", "SubViewer 2 font size (default 18)"},
    OptionSpec{"--font-style", "", "STYLES",
               "SubViewer 2: plain, or bold,italic,underline,strikeout (default bold)"},
    OptionSpec{"--font-colour", "", "RRGGBB", "SubViewer 2 font colour (default FFFFFF)"},
    OptionSpec{"--colours", "", "C0,C1,C2,C3", "IAuthor or Philips colours, each RRGGBB"},
    OptionSpec{"--blend", "", "B0,B1,B2,B3", "IAuthor blends 0..15 (default 0,15,15,15)"},
    OptionSpec{"--contrast", "", "C0,C1,C2,C3", "Philips contrasts 0..15 (default 0,15,15,15)"},
    OptionSpec{"--iauthor-interval", "", "MS", "IAuthor minimum gap, 0..999 (default 10)"},
    OptionSpec{"--bmp-colours", "", "yes|no", "Philips: use the bitmaps' colours (default yes)"},
    OptionSpec{"--frame-rate", "", "pal|ntsc", "Philips and Sonic frame rate (default pal)"},
    OptionSpec{"--drop-frame", "", "yes|no",
               "NTSC drop-frame labels (default yes for Philips, no for Sonic)"},
    OptionSpec{"--encoding", "", "cp1252|utf-8",
               "text of the subtitle files written and read: Windows-1252 (the default) or "
               "UTF-8 (a byte order mark is accepted on reading, none written)"},
    OptionSpec{"--input-encoding", "", "cp1252|utf-8",
               "with --convert: the file read, when not in --encoding"},
    OptionSpec{"--date", "", "TEXT", "date and time for the script banners (default: now)"},
};

} // namespace

std::span<const OptionSpec> optionTable() {
    return kOptions;
}

const OptionSpec* findOption(std::string_view name) {
    for (const OptionSpec& o : kOptions)
        if (o.name == name || (!o.shortName.empty() && o.shortName == name)) return &o;
    return nullptr;
}

bool Args::has(std::string_view name) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> Args::value(std::string_view name) const {
    for (auto it = options.rbegin(); it != options.rend(); ++it)
        if (it->first == name) return it->second;
    return std::nullopt;
}

std::vector<std::string> Args::values(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& o : options)
        if (o.first == name) out.push_back(o.second);
    return out;
}

bool parseEncoding(const Args& args, std::optional<TextEncoding>& out, std::string& error,
                   std::string_view name) {
    auto v = args.value(name);
    if (!v) return true;
    if (*v == "cp1252" || *v == "windows-1252")
        out = TextEncoding::Cp1252;
    else if (*v == "utf-8" || *v == "utf8")
        out = TextEncoding::Utf8;
    else {
        error = std::string(name) + ": expected cp1252 or utf-8, got \"" + *v + "\"";
        return false;
    }
    return true;
}

bool parseArgs(std::span<const std::string> arguments, Args& out, std::string& error) {
    out = Args{};
    bool onlyInputs = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (onlyInputs || a.size() < 2 || a[0] != '-') {
            out.inputs.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyInputs = true;
            continue;
        }
        if (findCommand(a)) {
            if (!out.command.empty() && out.command != a) {
                error = "only one command at a time: " + out.command + " and " + a;
                return false;
            }
            out.command = a;
            continue;
        }
        std::string name = a;
        std::optional<std::string> inlineValue;
        if (size_t eq = a.find('='); eq != std::string::npos && a.starts_with("--")) {
            name = a.substr(0, eq);
            inlineValue = a.substr(eq + 1);
        }
        const OptionSpec* spec = findOption(name);
        if (!spec) {
            error = "unknown option " + name + " (see --help)";
            return false;
        }
        std::string value;
        if (spec->valueName.empty()) {
            if (inlineValue) {
                error = "option " + std::string(spec->name) + " takes no value";
                return false;
            }
        } else if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = "option " + std::string(spec->name) + " needs a value " +
                    std::string(spec->valueName);
            return false;
        }
        out.options.emplace_back(std::string(spec->name), std::move(value));
    }
    return true;
}

} // namespace mirtal::cli
