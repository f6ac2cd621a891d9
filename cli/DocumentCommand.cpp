#include "CliHost.h"
#include "Commands.h"
#include "JobInput.h"
#include "base/MessageCatalogue.h"
#include "base/TextCodec.h"
#include "subtitles/DocumentFlows.h"
#include "subtitles/NativeReader.h"
#include "subtitles/PostOcrCorrection.h"
#include "subtitles/SplitOutput.h"
#include "subtitles/SystemBannerClock.h"
#include "subtitles/TimeCorrection.h"

#include <ostream>
#include <sstream>

namespace mirtal::cli {

namespace {

// The terminal host, with the native reader's Cancel / Ignore / Yes to All
// answered without a terminal: Yes to All (skip every damaged entry) unless
// "--answer no", which stops reading at the first one.
class DocumentHost : public CliHost {
public:
    DocumentHost(CliIo& io, const Args& args)
        : CliHost(io, args), m_yes(args.value("--answer").value_or("yes") != "no") {}

    Answer ask(MessageKind kind, Buttons buttons, const std::string& text) override {
        if (m_io.inputIsTerminal || !buttons.has(Answer::YesToAll))
            return CliHost::ask(kind, buttons, text);
        printMessage("warning: ", text);
        Answer a = m_yes ? Answer::YesToAll : Answer::Cancel;
        m_io.err << "mirtal-rip: (no terminal) answered " << (m_yes ? "all" : "cancel") << '\n';
        return a;
    }

private:
    bool m_yes;
};

// RRGGBB, as colours are written everywhere else, into 0x00BBGGRR.
bool parseRgb(const std::string& item, Colour& out) {
    if (item.size() != 6 || item.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    uint32_t rgb = uint32_t(std::stoul(item, nullptr, 16));
    out = makeColour(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
    return true;
}

// Option values: on failure a message naming the option.
struct Parser {
    const Args& args;
    std::string error;

    bool fail(const std::string& option, const std::string& why) {
        if (error.empty()) error = option + ": " + why;
        return false;
    }

    bool integer(const char* option, int64_t min, int64_t max, int64_t& out) {
        auto v = args.value(option);
        if (!v) return true;
        if (!parseInteger(*v, out) || out < min || out > max)
            return fail(option, "expected a whole number from " + std::to_string(min) + " to " +
                                    std::to_string(max) + ", got \"" + *v + "\"");
        return true;
    }

    // [-]HH:MM:SS,mmm
    bool signedTime(const char* option, TTimeCode& tc, bool& minus) {
        auto v = args.value(option);
        if (!v) return true;
        std::string text = *v;
        minus = !text.empty() && text[0] == '-';
        if (minus) text.erase(0, 1);
        int32_t ms = 0;
        std::string why;
        if (!parseTimeCodeOption(text, ms, why)) return fail(option, why);
        tc = MsToTimeCode(ms);
        return true;
    }

    bool choice(const char* option, std::initializer_list<const char*> names, int& out) {
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

    bool yesNo(const char* option, bool& out) {
        int i = out ? 0 : 1;
        if (!choice(option, {"yes", "no"}, i)) return false;
        out = i == 0;
        return true;
    }

    // Four comma-separated values, colours as RRGGBB or numbers up to max.
    bool four(const char* option, bool colours, int64_t max, int64_t (&out)[4]) {
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
            if (!ok || (k < 3 && comma == std::string::npos) ||
                (k == 3 && comma != std::string::npos))
                return fail(option, colours ? "expected four colours RRGGBB,RRGGBB,RRGGBB,RRGGBB"
                                            : "expected four numbers 0.." + std::to_string(max) +
                                                  " separated by commas");
            out[k] = value;
            pos = comma + 1;
        }
        return true;
    }

    bool text(const char* option, std::string& out) {
        if (auto v = args.value(option)) out = utf8ToCp1252(*v);
        return true;
    }
};

struct Plan {
    TimeCorrection time;
    bool fixQuotes = false;
    bool fixIl = false;
    IlLanguage language = IlLanguage::English;
    bool split = false;
    SplitWindow window;
    TOutputFormat format = ofNative;
};

bool parseCorrections(Parser& p, Plan& plan) {
    const Args& a = p.args;
    if (!p.signedTime("--offset", plan.time.Offset, plan.time.MinusOffset) ||
        !p.signedTime("--stretch", plan.time.Stretch, plan.time.MinusStretch))
        return false;
    if (auto d = a.value("--durations")) {
        plan.time.ChangeDurations = true;
        int64_t x = 0, y = 0;
        size_t plus = d->find('+');
        if (d->rfind("fixed:", 0) == 0 && parseInteger(d->substr(6), x) && x >= 0 && x <= 65535) {
            plan.time.Method = DurationMethod::Fixed;
            plan.time.FixedDuration = uint16_t(x);
        } else if (plus != std::string::npos && parseInteger(d->substr(0, plus), x) && x >= 0 &&
                   x <= 9999 && parseInteger(d->substr(plus + 1), y) && y >= 0 && y <= 99) {
            plan.time.Method = DurationMethod::Proportional;
            plan.time.OffsetDuration = uint16_t(x);
            plan.time.MsPerChar = uint16_t(y);
        } else {
            return p.fail("--durations", "expected fixed:MS (0..65535) or OFFSET+PERCHAR "
                                         "(0..9999 + 0..99), got \"" +
                                             *d + "\"");
        }
    }
    int64_t gap = 0;
    if (!p.integer("--min-interval", 0, 9999, gap)) return false;
    plan.time.MinInterval = uint16_t(gap);
    plan.fixQuotes = a.has("--fix-quotes");
    int lang = 0;
    plan.fixIl = a.has("--fix-il");
    if (!p.choice("--fix-il", {"en", "fr", "de"}, lang)) return false;
    plan.language = IlLanguage(lang);
    if (auto s = a.value("--split")) {
        size_t dash = s->find('-');
        int32_t start = 0, stop = 0;
        std::string why;
        if (dash == std::string::npos || !parseTimeCodeOption(s->substr(0, dash), start, why) ||
            !parseTimeCodeOption(s->substr(dash + 1), stop, why))
            return p.fail("--split", "expected START-STOP, both HH:MM:SS,mmm, got \"" + *s + "\"");
        plan.split = true;
        plan.window = {true, MsToTimeCode(start), MsToTimeCode(stop)};
    }
    return true;
}

bool parseFormatOptions(Parser& p, Plan& plan, OutputOptions& o) {
    const Args& a = p.args;
    int format = 0;
    if (!p.choice("--format", {"native", "subviewer", "subviewer2", "iauthor", "philips", "sonic"},
                  format))
        return false;
    plan.format = TOutputFormat(format);

    int64_t n = 0;
    if (a.has("--index-offset")) {
        if (!p.integer("--index-offset", 0, 65535, n)) return false;
        o.native.IndexOffset = uint16_t(n);
    }
    if (a.has("--extended")) o.native.ExtendedFormat = true;
    if (a.has("--no-extended")) o.native.ExtendedFormat = false;

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
        if (!p.integer("--delay", plan.format == ofSubViewer2 ? 0 : -65535, 65535, n)) return false;
        o.subViewer.Delay = int32_t(n);
        o.subViewer2.Delay = uint16_t(n < 0 ? 0 : n);
    }
    if (a.has("--cd-track")) {
        if (!p.integer("--cd-track", 0, 255, n)) return false;
        o.subViewer2.CDTrack = uint8_t(n);
    }
    if (a.has("--no-two-line-max")) o.subViewer.TwoLineMax = false;
    if (a.has("--no-round")) o.subViewer.RoundTC = false;
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

    // Authoring scripts.
    int64_t four[4];
    bool philips = plan.format == ofPhilips;
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

int runDocument(const Args& args, CliIo& io) {
    if (args.inputs.size() != 1) {
        io.err << "mirtal-rip: --convert takes one subtitle file in the native format (.vtx)\n";
        return kExitUsage;
    }
    Plan plan;
    Parser parser{args, {}};
    OutputOptions requested; // checked before anything is read
    if (!parseCorrections(parser, plan) || !parseFormatOptions(parser, plan, requested)) {
        io.err << "mirtal-rip: " << parser.error << '\n';
        return kExitUsage;
    }

    SystemBannerClock systemClock;
    FixedBannerClock fixedClock(utf8ToCp1252(args.value("--date").value_or("")));
    const BannerClock& clock =
        args.has("--date") ? static_cast<const BannerClock&>(fixedClock) : systemClock;
    SubtitleDocument doc(clock);
    DocumentHost host(io, args);
    MessageCatalogue messages;

    NativeReadReport read = ReadNativeFile(doc, args.inputs[0], host, messages);
    if (read.readFailed) return kExitDataProblem;
    bool damaged = read.errors > 0 || read.storeFull;
    if (read.cancelled) {
        io.err << "mirtal-rip: reading stopped at a damaged entry; nothing written\n";
        return kExitDataProblem;
    }

    // The file's own offset and coordinates form stay unless asked otherwise.
    NativeOptions fromFile = doc.options().native;
    doc.options() = requested;
    if (!args.has("--index-offset")) doc.options().native.IndexOffset = fromFile.IndexOffset;
    if (!args.has("--extended") && !args.has("--no-extended"))
        doc.options().native.ExtendedFormat = fromFile.ExtendedFormat;

    // Text repairs first, so that proportional durations count the repaired text.
    if (plan.fixQuotes || plan.fixIl)
        CorrectPostOcr(doc, plan.fixQuotes, plan.fixIl, plan.language);
    // A script must not end up with half its entries shifted: a declined
    // offset or a refused stretch writes nothing.
    TimeCorrectionReport timeReport = CorrectTime(doc, plan.time, host, messages);
    if (timeReport.offset == StepResult::Declined) {
        io.err << "mirtal-rip: offset declined; nothing written\n";
        return kExitUsage;
    }
    if (timeReport.stretch == StepResult::Refused) return kExitUsage;
    if (plan.split && !ApplySplit(doc, plan.window, host, messages)) return kExitUsage;

    doc.setOutputFormat(plan.format);
    doc.RefreshList();
    if (auto out = args.value("--output"); out && *out != "-") {
        FileResult saved = SaveDocumentTo(doc, *out);
        if (!saved) {
            io.err << "mirtal-rip: " << cp1252ToUtf8(saved.error) << '\n';
            return kExitDataProblem;
        }
    } else {
        io.out << doc.fileText() << std::flush;
    }
    if (damaged)
        io.err << "mirtal-rip: " << read.errors << " damaged entr"
               << (read.errors == 1 ? "y" : "ies")
               << (read.storeFull ? " and more entries than the store holds" : "") << " left out; "
               << read.entries << " written\n";
    return damaged ? kExitDataProblem : kExitOk;
}

} // namespace mirtal::cli
