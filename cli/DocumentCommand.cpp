#include "CliHost.h"
#include "Commands.h"
#include "FormatOptions.h"
#include "JobInput.h"
#include "JobRunner.h"
#include "base/Files.h"
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

struct Plan {
    TimeCorrection time;
    bool fixQuotes = false;
    bool fixIl = false;
    IlLanguage language = IlLanguage::English;
    bool split = false;
    SplitWindow window;
    std::optional<TOutputFormat> format;
};

bool parseCorrections(OptionParser& p, Plan& plan) {
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
        plan.window = {true, msToTimeCode(start), msToTimeCode(stop)};
    }
    return true;
}

// What the command line asks of the conversion, checked before anything is read.
struct ConvertRequest {
    Plan plan;
    OutputOptions output;
    std::optional<TextEncoding> encoding, inputEncoding;
};

// 0 when the arguments make a conversion, else the exit status (the reason told).
int parseConvertRequest(const Args& args, CliIo& io, ConvertRequest& request) {
    if (args.inputs.size() != 1) {
        io.err << "mirtal-rip: --convert takes one subtitle file in the native format (.srt or "
                  ".vtx)\n";
        return kExitUsage;
    }
    if (std::string problem = specialFileProblem(args.inputs[0]); !problem.empty()) {
        io.err << "mirtal-rip: " << problem << '\n';
        return kExitUsage;
    }
    OptionParser parser{args, {}};
    if (!parseCorrections(parser, request.plan) ||
        !parseFormatOptions(parser, request.plan.format, request.output) ||
        !parseEncoding(args, request.encoding, parser.error) ||
        !parseEncoding(args, request.inputEncoding, parser.error, "--input-encoding")) {
        io.err << "mirtal-rip: " << parser.error << '\n';
        return kExitUsage;
    }
    return 0;
}

// Applies the repairs, the time correction and the split the plan asks for;
// 0 when the document is to be written, else the exit status.
int correctDocument(SubtitleDocument& doc, const Plan& plan, DocumentHost& host,
                    const MessageCatalogue& messages, CliIo& io) {
    // Text repairs first, so that proportional durations count the repaired text.
    if (plan.fixQuotes || plan.fixIl)
        correctPostOcr(doc, plan.fixQuotes, plan.fixIl, plan.language);
    // A script must not end up with half its entries shifted: a declined
    // offset or a refused stretch writes nothing.
    TimeCorrectionReport timeReport = correctTime(doc, plan.time, host, messages);
    if (timeReport.offset == StepResult::Declined) {
        io.err << "mirtal-rip: offset declined; nothing written\n";
        return kExitDataProblem;
    }
    if (timeReport.stretch == StepResult::Refused) {
        io.err << "mirtal-rip: stretch refused; nothing written\n";
        return kExitDataProblem;
    }
    if (plan.split && !applySplitWindow(doc, plan.window, host, messages)) return kExitUsage;
    return 0;
}

// Writes the document to --output, or to the standard output.
bool writeDocument(const Args& args, SubtitleDocument& doc, CliIo& io) {
    if (auto out = args.value("--output"); out && *out != "-") {
        Result saved = saveDocumentTo(doc, *out);
        if (!saved) {
            io.err << "mirtal-rip: " << cp1252ToUtf8(saved.error) << '\n';
            return false;
        }
    } else {
        io.out << encodedFileText(doc) << std::flush;
    }
    return true;
}

void reportRead(const NativeReadReport& read, CliIo& io) {
    if (read.replaced > 0)
        io.err << "mirtal-rip: " << read.replaced << " character" << (read.replaced == 1 ? "" : "s")
               << " without a Windows-1252 form read as '?'\n";
    if (read.errors > 0 || read.storeFull)
        io.err << "mirtal-rip: " << read.errors << " damaged entr"
               << (read.errors == 1 ? "y" : "ies")
               << (read.storeFull ? " and more entries than the store holds" : "") << " left out; "
               << read.entries << " written\n";
}

} // namespace

int runDocument(const Args& args, CliIo& io) {
    ConvertRequest request;
    if (int status = parseConvertRequest(args, io, request)) return status;

    const BannerClockChoice clock(args);
    SubtitleDocument doc(clock.clock());
    DocumentHost host(io, args);
    MessageCatalogue messages;

    // The file is read in the encoding named, else in the one its bytes tell.
    std::optional<TextEncoding> readIn =
        request.inputEncoding ? request.inputEncoding : request.encoding;
    request.output.Encoding = request.encoding.value_or(TextEncoding::Cp1252);
    doc.options().Encoding = readIn.value_or(TextEncoding::Cp1252);
    NativeReadReport read = readNativeFile(doc, args.inputs[0], host, messages, !readIn);
    if (read.readFailed) return kExitDataProblem;
    if (read.cancelled) {
        io.err << "mirtal-rip: reading stopped at a damaged entry; nothing written\n";
        return kExitDataProblem;
    }
    if (doc.nbSubTitle() == 0) {
        // An empty result never replaces a file that may hold subtitles.
        io.err << "mirtal-rip: no subtitles in " << args.inputs[0] << "; nothing written\n";
        return kExitDataProblem;
    }

    // The file's own offset and coordinates form stay unless asked otherwise.
    NativeOptions fromFile = doc.options().native;
    doc.options() = request.output;
    if (!args.has("--index-offset")) doc.options().native.IndexOffset = fromFile.IndexOffset;
    if (!args.has("--extended") && !args.has("--no-extended"))
        doc.options().native.ExtendedFormat = fromFile.ExtendedFormat;

    if (int status = correctDocument(doc, request.plan, host, messages, io)) return status;
    doc.setOutputFormat(request.plan.format.value_or(ofNative));
    doc.refreshList();
    if (!writeDocument(args, doc, io)) return kExitDataProblem;
    reportRead(read, io);
    return read.errors > 0 || read.storeFull ? kExitDataProblem : kExitOk;
}

} // namespace mirtal::cli
