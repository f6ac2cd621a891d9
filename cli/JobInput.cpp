#include "JobInput.h"

#include "Commands.h"
#include "base/Files.h"
#include "rip/Demuxer.h"
#include "settings/IniFile.h"
#include "subtitles/TimeCode.h"

#include <cctype>
#include <system_error>

namespace mirtal::cli {

namespace fs = std::filesystem;

namespace {

bool isTitleSetIfo(const std::string& name) {
    return wildcardMatchIgnoreCase("VTS_??_0.IFO", name);
}

void readLanguages(const fs::path& ifo, JobInput& out) {
    IfoReadResult r = readIfoStreamLanguages(ifo, out.names);
    out.ifo = ifo;
    out.codes = r.codes;
    out.ifoProblem = r.ok() ? std::string() : r.message;
    out.map = readStreamMap(ifo);
}

// --stream's text: a substream id goes to `id`, a stream number or language
// to `line` (0-based).
bool parseStreamNumber(const std::string& s, const JobInput& input, int& line, int& id,
                       std::string& error) {
    int64_t n = 0;
    if ((s.starts_with("0x") || s.starts_with("0X")) && s.size() > 2) {
        try {
            size_t used = 0;
            n = std::stoll(s.substr(2), &used, 16);
            if (used != s.size() - 2) n = -1;
        } catch (const std::exception&) {
            n = -1;
        }
        if (n < 0x20 || n > 0x3F) {
            error = "substream id " + s + " is not 0x20..0x3F";
            return false;
        }
        id = int(n);
        return true;
    }
    if (parseInteger(s, n)) {
        if (n < 1 || n > kSubpictureStreams) {
            error = "stream number " + s + " is not 1..32";
            return false;
        }
        line = int(n - 1);
        return true;
    }
    if (!input.ifo) {
        error = "stream " + s +
                ": a language code needs the title set's IFO (give VTS_nn_0.IFO) or a VobSub .idx";
        return false;
    }
    for (int k = 0; k < kSubpictureStreams; ++k)
        if (!input.codes[size_t(k)].empty() && equalsIgnoreCase(input.codes[size_t(k)], s)) {
            line = k;
            return true;
        }
    error = "no stream with the language " + s + " in " + input.ifo->string();
    return false;
}

// A folder: its VOB files.
bool addFolder(const fs::path& p, const std::string& text, JobInput& out, std::string& error) {
    auto vobs = listFilesMatching(p, "*.VOB");
    if (vobs.empty()) {
        error = "no VOB file in folder " + text;
        return false;
    }
    out.vobs.insert(out.vobs.end(), vobs.begin(), vobs.end());
    return true;
}

// A title set's IFO: the title VOBs beside it, and its stream languages.
bool addTitleSet(const fs::path& p, const std::string& text, JobInput& out, std::string& error) {
    const std::string name = p.filename().string();
    if (!isTitleSetIfo(name)) {
        error = "not a title set IFO (VTS_nn_0.IFO): " + text;
        return false;
    }
    const std::vector<fs::path> vobs = titleSetVobs(p);
    out.vobs.insert(out.vobs.end(), vobs.begin(), vobs.end());
    if (vobs.empty()) {
        error = "no title VOB file (" + name.substr(0, 7) + "1.VOB ...) beside " + text;
        return false;
    }
    if (!out.ifo) readLanguages(p, out);
    return true;
}

// A VobSub .idx or .sub: the .sub with its index; the index names the languages.
bool addVobSub(const fs::path& p, JobInput& out, std::string& error) {
    VobSubPair pair;
    if (!loadVobSubPair(p, pair, error)) {
        // Both halves are there: the pair itself is damaged.
        const auto partner = findVobSubPartner(p);
        out.damaged =
            partner && specialFileProblem(p).empty() && specialFileProblem(*partner).empty();
        return false;
    }
    out.indexes.resize(out.vobs.size());
    out.vobs.push_back(pair.sub);
    out.indexes.push_back(pair.index);
    if (!out.ifo) {
        out.ifo = pair.idx;
        out.names = pair.index->languages();
        out.codes = pair.index->codes();
    }
    return true;
}

bool addInput(const std::string& text, JobInput& out, std::string& error) {
    fs::path p(text);
    std::error_code ec;
    auto status = fs::status(p, ec);
    if (ec || !fs::exists(status)) {
        error = "not found: " + text;
        return false;
    }
    if (!fs::is_directory(status) && !fs::is_regular_file(status)) {
        error = specialFileProblem(p);
        return false;
    }
    const std::string name = p.filename().string();
    if (fs::is_directory(status)) return addFolder(p, text, out, error);
    if (wildcardMatchIgnoreCase("*.IFO", name)) return addTitleSet(p, text, out, error);
    if (isVobSubFileName(name)) return addVobSub(p, out, error);
    out.vobs.push_back(p);
    return true;
}

} // namespace

namespace {

// "A" or "A-B" within 1..count.
bool parseRange(const std::string& text, size_t count, size_t& first, size_t& last) {
    const size_t dash = text.find('-');
    auto number = [](const std::string& s, size_t& v) {
        if (s.empty() || s.size() > 4 || s.find_first_not_of("0123456789") != std::string::npos)
            return false;
        v = size_t(std::stoul(s));
        return true;
    };
    if (!number(text.substr(0, dash), first)) return false;
    if (dash == std::string::npos)
        last = first;
    else if (!number(text.substr(dash + 1), last))
        return false;
    return first >= 1 && first <= last && last <= count;
}

} // namespace

bool titlesOfInput(const JobInput& input, std::vector<Title>& titles, std::string& error) {
    if (!input.ifo || !isTitleSetIfo(input.ifo->filename().string())) {
        error = "titles are read from a title set: give its VTS_nn_0.IFO as the input";
        return false;
    }
    auto read = readTitles(*input.ifo);
    if (!read) {
        error = read.error;
        return false;
    }
    titles = std::move(*read);
    return true;
}

bool chooseTitle(const Args& args, JobInput& input, std::string& error) {
    const auto number = args.value("--dvd-title");
    if (!number) {
        if (!args.has("--chapters") && !args.has("--angle")) return true;
        error = std::string(args.has("--chapters") ? "--chapters" : "--angle") +
                " chooses within a title: give --dvd-title N";
        return false;
    }
    std::vector<Title> titles;
    if (!titlesOfInput(input, titles, error)) return false;
    size_t t = 0, unused = 0;
    if (!parseRange(*number, titles.size(), t, unused) || t != unused) {
        error =
            "--dvd-title: expected 1.." + std::to_string(titles.size()) + " or all, got " + *number;
        return false;
    }
    const Title& title = titles[t - 1];
    size_t first = 1, last = title.chapters.size(), angle = 1;
    if (auto chapters = args.value("--chapters");
        chapters && !parseRange(*chapters, title.chapters.size(), first, last)) {
        error = "--chapters: title " + *number + " has chapters 1.." +
                std::to_string(title.chapters.size()) + ", got " + *chapters;
        return false;
    }
    if (auto a = args.value("--angle"); a && !parseRange(*a, size_t(title.angles), angle, unused)) {
        error = "--angle: title " + *number + " has angles 1.." + std::to_string(title.angles) +
                ", got " + *a;
        return false;
    }
    const TitleJob job = titleJob(*input.ifo, title, int(angle), first, last);
    if (job.stretches.empty()) {
        error = "title " + *number + ": its cells lie outside the title set's VOB files";
        return false;
    }
    input.vobs = job.files();
    input.ranges = job.ranges();
    input.titleStart = job.titleStart;
    input.indexes.assign(input.vobs.size(), nullptr);
    return true;
}

bool resolveInputs(const std::vector<std::string>& inputs, JobInput& out, std::string& error) {
    out = JobInput{};
    if (inputs.empty()) {
        error = "no input given (VOB files, a folder, a VTS_nn_0.IFO or a VobSub .idx/.sub)";
        return false;
    }
    for (const std::string& text : inputs)
        if (!addInput(text, out, error)) return false;
    out.indexes.resize(out.vobs.size());
    // VOB files named as a title set's: the languages from the IFO beside them.
    if (!out.ifo && !out.vobs.empty()) {
        std::string first = out.vobs.front().filename().string();
        if (wildcardMatchIgnoreCase("VTS_??_?.VOB", first)) {
            fs::path folder = out.vobs.front().parent_path();
            auto ifos =
                listFilesMatching(folder.empty() ? "." : folder, first.substr(0, 7) + "0.IFO");
            if (!ifos.empty()) readLanguages(ifos.front(), out);
        }
    }
    return true;
}

std::vector<FileInUse> filesInUse(const JobInput& input) {
    std::vector<FileInUse> files;
    for (const fs::path& v : input.vobs) files.push_back({v, "an input"});
    if (input.ifo) files.push_back({*input.ifo, "an input"});
    return files;
}

bool checkOptionFile(const std::string& path, std::string_view option, std::string& error) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        error = std::string(option) + ": no such file " + path;
        return false;
    }
    if (std::string problem = specialFileProblem(path); !problem.empty()) {
        error = std::string(option) + ": " + problem;
        return false;
    }
    return true;
}

int refusalStatus(const JobInput& input) {
    return input.damaged ? kExitDataProblem : kExitUsage;
}

bool chooseStream(const Args& args, const JobInput& input, StreamChoice& out, std::string& error) {
    out = StreamChoice{};
    const std::optional<std::string> view = args.value("--view");
    if (view) {
        const std::optional<SubpictureView> v = viewNamed(*view);
        if (!v) {
            error = "view " + *view + " is not wide, letterbox or panscan";
            return false;
        }
        if (!input.map.mapped()) {
            error = "--view needs a 16:9 title whose IFO maps its streams to substreams";
            return false;
        }
        out.view = *v;
    }
    int id = -1;
    if (auto text = args.value("--stream");
        text && !parseStreamNumber(*text, input, out.line, id, error))
        return false;
    if (id >= 0) {
        if (view) {
            error = "--view chooses among the substreams of a stream: give its number or language";
            return false;
        }
        // A substream id stands for itself; it is named after the stream
        // that shows it, where there is one.
        out.id = uint8_t(id);
        out.line = -1;
        for (int k = 0; k < kSubpictureStreams && out.line < 0; ++k)
            for (int v = 0; v < kSubpictureViews && out.line < 0; ++v)
                if (input.map.hasView(k, SubpictureView(v)) &&
                    input.map.substream(k, SubpictureView(v)) == out.id)
                    out.line = k, out.view = SubpictureView(v);
        return true;
    }
    if (!input.map.hasView(out.line, out.view)) {
        error = "stream " + std::to_string(out.line + 1) + " has no " +
                std::string(viewName(out.view)) + " substream of its own";
        return false;
    }
    out.id = input.map.substream(out.line, out.view);
    return true;
}

bool timesFromVideoStart(const Args& args) {
    if (args.has("--from-video-start")) return true;
    auto file = args.value("--settings");
    IniFile ini;
    return file && ini.load(*file) && ini.readInteger("CONFIG", "FromVideoStart", 0) == 1;
}

std::string damagedNote(const RipJob& job) {
    return job.DamagedPictures == 0 ? std::string()
                                    : std::to_string(job.DamagedPictures) + " damaged (skipped), ";
}

bool parseTimeCodeOption(const std::string& text, int32_t& ms, std::string& error) {
    bool shape = text.size() == 12 && text[2] == ':' && text[5] == ':' && text[8] == ',';
    for (size_t i : {0, 1, 3, 4, 6, 7, 9, 10, 11})
        if (shape && !std::isdigit(static_cast<unsigned char>(text[i]))) shape = false;
    TTimeCode tc = shape ? strToTimeCode(text) : TTimeCode{};
    if (!shape || tc.Min > 59 || tc.Sec > 59) {
        error = "time code " + text + " is not HH:MM:SS,mmm";
        return false;
    }
    ms = timeCodeToMs(tc);
    return true;
}

} // namespace mirtal::cli
