#include "Commands.h"

#include <algorithm>
#include <array>
#include <iomanip>
#include <ostream>

namespace mirtal::cli {

namespace {

constexpr std::array kCommands = {
    Command{"--list", "INPUT...",
            "list the subpictures of the chosen stream, one line each: number, start, stop,\n"
            "      X1 Y1 X2 Y2 (display area, inclusive) and size in bytes, then the totals;\n"
            "      a stop of 00:00:00,000 means the unit has no stop command. Lines that are\n"
            "      not subpictures (stream languages, totals) begin with '#'",
            runList},
    Command{"--list-titles", "VTS_nn_0.IFO",
            "list the titles of the title set as a player plays them: number, length,\n"
            "      chapters, angles and cells, then the chapters' starts (for --dvd-title,\n"
            "      --chapters and --angle)",
            runListTitles},
    Command{"--convert", "FILE.srt|FILE.vtx",
            "read a subtitle file in the native format (SubRip; UTF-8 or Windows-1252,\n"
            "      told by its bytes unless --input-encoding or --encoding names it), correct\n"
            "      it (in this order:\n"
            "      --fix-quotes, --fix-il, --offset, --stretch, --durations, --min-interval,\n"
            "      --split) and write it in --format (default native) to -o FILE (replaced\n"
            "      atomically) or to standard output. Without a terminal, damaged entries are\n"
            "      skipped (exit status 1, the rest written) and a start pushed below zero is\n"
            "      set to zero; with --answer no either one writes nothing",
            runDocument},
    Command{"--action",
            "bmp|sup|show [--prefix PATH] INPUT... | vobsub -o NAME INPUT... |\n"
            "      ocr --matrix FILE INPUT...",
            "bmp: compose every subpicture into a palette BMP (settings: --settings,\n"
            "      --profile, else the defaults) and write PATH000001.bmp, PATH000002.bmp, ...\n"
            "      numbered by the subpicture's place in the job; sup: write each raw unit as\n"
            "      PATH000001.sup, ...; files of the same name are replaced. With --timing, the\n"
            "      subtitle file naming the pictures (times, output rectangle) goes to -o FILE\n"
            "      (replaced atomically) or standard output, in\n"
            "      --format, by default the palette preset's script (I-Author: iauthor,\n"
            "      Philips: philips, Free: native; native for sup); after the I-Author preset\n"
            "      the native format keeps its coordinates unless --no-extended. The colour\n"
            "      order is detected on the first picture. show: one line per subpicture:\n"
            "      number, start, stop, X1 Y1 X2 Y2 and size of the composed picture; no stop\n"
            "      unless --ask. A picture that cannot be written stops the job (exit\n"
            "      status 1)\n"
            "      vobsub: write the stream as the VobSub pair NAME.idx + NAME.sub when the\n"
            "      job ends: each unit unchanged with its start (and --forced-only applies);\n"
            "      the .idx takes the frame size, palette and language from the title's\n"
            "      VTS_nn_0.IFO, else from a VobSub input, else 720x576, a black, white,\n"
            "      black, grey palette and no language\n"
            "      Every action: a job that finds nothing leaves -o as it was (exit status 1);\n"
            "      one stopped early writes what it has and says so\n"
            "      ocr: recognise the text of every subpicture against the character matrix\n"
            "      --matrix FILE and write the subtitles in --format (default native) to -o\n"
            "      FILE (replaced atomically) or standard output, quotes repaired unless\n"
            "      --no-fix-quotes. Unknown glyphs are asked on standard error (--ask, the\n"
            "      default on a terminal): a line 'GLYPH subpicture=N start=HH:MM:SS,mmm\n"
            "      line=L char=C width=W height=H' (C: the box's place in its line), the line\n"
            "      as text art ('#' the glyph, '+' other text, framed), then one answer line\n"
            "      of UTF-8 text, learned at once (empty: the glyph reads as nothing), or\n"
            "      \\skip-line, \\skip-subpicture, \\stop; '\\\\' begins a text with a\n"
            "      backslash. At the end of the input the rip stops as with \\stop: what was\n"
            "      read is written (exit status 1). With --no-ask unknown glyphs are written\n"
            "      as the currency sign and counted. Learned glyphs are saved to the matrix\n"
            "      before each question and at the end, unless --no-save-matrix; a damaged\n"
            "      matrix is refused. OCR settings: the OCR SETTING section of --settings\n"
            "      (else of the program's Mirtal.ini), then --space-width,\n"
            "      --italic-space-width and --name-glyphs. With --name-glyphs auto a new\n"
            "      shape first sends the rip through the stream once more for Tesseract's\n"
            "      votes, then reads it again; a question shows the suggested reading,\n"
            "      which an empty answer takes (\\empty: the empty text). The output format "
            "options (--index-offset ..\n"
            "      --drop-frame) apply to the subtitle files of --convert, --action ocr and\n"
            "      --timing alike, over the settings file's MIRTAL, IAUTHOR and PHILIPS\n"
            "      OUTPUT sections",
            runAction},
};

// "  HEAD  help" as GNU programs lay it out: the help from column 30 (or
// two spaces after a longer head), wrapped at 79 columns under that column.
// help2man's manual page reads the same layout.
void printOption(std::ostream& out, const std::string& head, std::string_view help) {
    constexpr size_t kHelpColumn = 30;
    std::string line = "  " + head + "  ";
    line.resize(std::max(line.size(), kHelpColumn), ' ');
    bool wordOnLine = false;
    while (!help.empty()) {
        const size_t end = std::min(help.find(' '), help.size());
        const std::string_view word = help.substr(0, end);
        help.remove_prefix(std::min(end + 1, help.size()));
        if (wordOnLine && line.size() + 1 + word.size() > 79) {
            out << line << '\n';
            line = std::string(kHelpColumn, ' ');
            wordOnLine = false;
        }
        if (wordOnLine) line += ' ';
        line += word;
        wordOnLine = true;
    }
    out << line << '\n';
}

} // namespace

std::span<const Command> commandTable() {
    return kCommands;
}

const Command* findCommand(std::string_view name) {
    for (const Command& c : kCommands)
        if (c.name == name) return &c;
    return nullptr;
}

void printHelp(std::ostream& out) {
    out << "Usage: mirtal-rip COMMAND [OPTION]... INPUT...\n"
           "Reads the subtitle pictures of decrypted DVD-Video VOB files.\n\n"
           "INPUT is a VOB file, a folder (its *.VOB files, letter case ignored, in name "
           "order),\nor a title set file VTS_nn_0.IFO (the title's VTS_nn_1.VOB .. VTS_nn_9.VOB; "
           "the menu\nVTS_nn_0.VOB is left out; the IFO gives the stream languages), or a VobSub\n"
           "pair: its .idx or its .sub, the other being found beside it (the .sub is read like a "
           "VOB;\nthe .idx gives the stream languages and the start times, its delay applied).\n\n"
           "Commands:\n";
    for (const Command& c : kCommands) {
        out << "  " << c.name << ' ' << c.usage << "\n      " << c.help << '\n';
    }
    out << "\nOptions:\n";
    for (const OptionSpec& o : optionTable()) {
        std::string head =
            (o.shortName.empty() ? "    " : std::string(o.shortName) + ", ") + std::string(o.name);
        if (!o.valueName.empty()) head += ' ' + std::string(o.valueName);
        printOption(out, head, o.help);
    }
    out << "\nWhen standard input is not a terminal, questions are answered without asking\n"
           "(see --answer) and every such answer is reported on standard error.\n"
           "Exit status:\n"
           "  0  success\n"
           "  1  the job failed or is incomplete, as reported: damaged or unreadable input,\n"
           "     skipped pictures, nothing found in the stream, a partial output\n"
           "  2  bad command line, or refused before starting (an output that is one of the\n"
           "     inputs, the matrix, the settings or the profile; a FIFO or device as a file)\n";
}

int runCli(std::span<const std::string> arguments, CliIo& io) {
    Args args;
    std::string error;
    if (!parseArgs(arguments, args, error)) {
        io.err << "mirtal-rip: " << error << '\n';
        return kExitUsage;
    }
    if (args.has("--help")) {
        printHelp(io.out);
        return kExitOk;
    }
    if (args.has("--version")) {
        io.out << "mirtal-rip (Mirtal) " MIRTAL_VERSION "\n";
        return kExitOk;
    }
    if (args.command.empty()) {
        io.err << "mirtal-rip: no command given (see --help)\n";
        return kExitUsage;
    }
    if (args.value("--dvd-title") == "all" && args.command != "--convert")
        return runEveryTitle(args, io);
    return findCommand(args.command)->run(args, io);
}

} // namespace mirtal::cli
