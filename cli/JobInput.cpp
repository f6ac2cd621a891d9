#include "JobInput.h"

#include "Commands.h"
#include "base/Files.h"
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

bool isTitleVob(const std::string& name) {
    return wildcardMatchIgnoreCase("VTS_??_?.VOB", name) && name[7] != '0';
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
    std::string pattern = name.substr(0, 7) + "?.VOB";
    size_t before = out.vobs.size();
    for (const fs::path& v :
         listFilesMatching(p.parent_path().empty() ? "." : p.parent_path(), pattern))
        if (isTitleVob(v.filename().string())) out.vobs.push_back(v);
    if (out.vobs.size() == before) {
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
