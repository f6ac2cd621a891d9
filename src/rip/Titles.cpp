#include "rip/Titles.h"

#include "base/Files.h"
#include "rip/Demuxer.h"
#include "rip/DvdRead.h"

namespace mirtal {

namespace {

int bcd(uint8_t v) {
    return (v >> 4) * 10 + (v & 0x0F);
}

// A playing time as the IFO stores it: hours, minutes, seconds and frames
// in binary-coded decimal, the frame rate in the top bits of the frames.
uint32_t msOf(const dvd_time_t& t) {
    const int fps = (t.frame_u >> 6) == 3 ? 30 : 25;
    const int frames = bcd(t.frame_u & 0x3F);
    return uint32_t(((bcd(t.hour) * 60 + bcd(t.minute)) * 60 + bcd(t.second)) * 1000 +
                    frames * 1000 / fps);
}

const pgc_t* programChain(const ifo_handle_t& vts, int number) {
    const pgcit_t& table = *vts.vts_pgcit;
    if (number < 1 || number > table.nr_of_pgci_srp || !table.pgci_srp) return nullptr;
    return table.pgci_srp[number - 1].pgc;
}

// The cells of program `program` (1-based) of a chain, or none when the
// chain does not have it.
std::pair<int, int> cellsOfProgram(const pgc_t& pgc, int program) {
    if (program < 1 || program > pgc.nr_of_programs || !pgc.program_map) return {0, 0};
    const int first = pgc.program_map[program - 1];
    const int end = program < pgc.nr_of_programs ? pgc.program_map[program] : pgc.nr_of_cells + 1;
    if (first < 1 || end > pgc.nr_of_cells + 1 || first >= end) return {0, 0};
    return {first, end};
}

// Adds the cells [first, end) (1-based) of a chain to the title.
bool addCells(Title& title, const pgc_t& pgc, int first, int end) {
    if (!pgc.cell_playback) return false;
    for (int c = first; c < end; ++c) {
        const cell_playback_t& cell = pgc.cell_playback[c - 1];
        if (cell.last_sector < cell.first_sector) return false;
        // An angle block may run on over a chapter's start.
        const int before = title.cells.empty() ? 0 : title.cells.back().angle;
        int angle = 0;
        if (cell.block_type == BLOCK_TYPE_ANGLE_BLOCK)
            angle = cell.block_mode == BLOCK_MODE_FIRST_CELL || before == 0 ? 1 : before + 1;
        title.angles = std::max(title.angles, angle);
        title.cells.push_back(
            {cell.first_sector, cell.last_sector, msOf(cell.playback_time), angle});
    }
    return true;
}

} // namespace

std::vector<TitleCell> Title::cellsToRead(int angle, size_t firstChapter,
                                          size_t lastChapter) const {
    std::vector<TitleCell> out;
    if (firstChapter < 1 || firstChapter > lastChapter || lastChapter > chapters.size()) return out;
    const size_t from = chapters[firstChapter - 1].firstCell;
    const size_t to =
        lastChapter < chapters.size() ? chapters[lastChapter].firstCell : cells.size();
    for (size_t c = from; c < to; ++c)
        if (cells[c].angle == 0 || cells[c].angle == angle) out.push_back(cells[c]);
    return out;
}

std::vector<FileStretch> stretchesOf(const std::vector<std::filesystem::path>& vobs,
                                     const std::vector<uint64_t>& packsPerFile,
                                     const std::vector<TitleCell>& cells) {
    std::vector<FileStretch> out;
    for (const TitleCell& cell : cells) {
        uint64_t first = cell.firstPack, last = cell.lastPack, fileStart = 0;
        for (size_t f = 0; f < vobs.size() && f < packsPerFile.size() && first <= last; ++f) {
            const uint64_t fileEnd = fileStart + packsPerFile[f];
            if (first < fileEnd) {
                const uint64_t end = std::min(last + 1, fileEnd);
                out.push_back(
                    {vobs[f],
                     {uint32_t(first - fileStart), uint32_t(end - fileStart), cell.angle > 0}});
                first = end;
            }
            fileStart = fileEnd;
        }
    }
    return out;
}

std::vector<std::filesystem::path> titleSetVobs(const std::filesystem::path& ifo) {
    std::vector<std::filesystem::path> vobs;
    const std::string name = ifo.filename().string();
    if (name.size() < 7) return vobs;
    for (const std::filesystem::path& v : listFilesMatching(
             ifo.parent_path().empty() ? "." : ifo.parent_path(), name.substr(0, 7) + "?.VOB"))
        if (v.filename().string()[7] != '0') vobs.push_back(v);
    return vobs;
}

std::vector<std::filesystem::path> TitleJob::files() const {
    std::vector<std::filesystem::path> out;
    for (const FileStretch& s : stretches) out.push_back(s.file);
    return out;
}

std::vector<PackRange> TitleJob::ranges() const {
    std::vector<PackRange> out;
    for (const FileStretch& s : stretches) out.push_back(s.packs);
    return out;
}

TitleJob titleJob(const std::filesystem::path& ifo, const Title& title, int angle,
                  size_t firstChapter, size_t lastChapter) {
    // The cells count packs over all the title set's VOB files.
    const std::vector<std::filesystem::path> vobs = titleSetVobs(ifo);
    std::vector<uint64_t> packs;
    for (const std::filesystem::path& v : vobs) {
        std::error_code ec;
        packs.push_back(std::filesystem::file_size(v, ec) / kPackSize);
    }
    TitleJob job;
    job.stretches = stretchesOf(vobs, packs, title.cellsToRead(angle, firstChapter, lastChapter));
    const auto whole = stretchesOf(vobs, packs, title.cellsToRead(angle, 1, title.chapters.size()));
    if (!whole.empty()) job.titleStart = whole.front();
    return job;
}

ValueResult<std::vector<Title>> readTitles(const std::filesystem::path& ifo) {
    using Titles = ValueResult<std::vector<Title>>;
    const std::optional<OpenTitleSet> open = openTitleSet(ifo);
    if (!open) return Titles::failure(ifo.string() + ": no title set's IFO, or not readable");
    const ifo_handle_t& vts = *open->vts;
    const vts_ptt_srpt_t* parts = vts.vts_ptt_srpt;
    if (!parts || !parts->title) return Titles::failure(ifo.string() + ": no title table");
    std::vector<Title> titles;
    for (int t = 0; t < parts->nr_of_srpts; ++t) {
        Title title;
        title.number = t + 1;
        const ttu_t& chapters = parts->title[t];
        for (int p = 0; p < chapters.nr_of_ptts && chapters.ptt; ++p) {
            const pgc_t* pgc = programChain(vts, chapters.ptt[p].pgcn);
            const auto [first, end] =
                pgc ? cellsOfProgram(*pgc, chapters.ptt[p].pgn) : std::pair(0, 0);
            uint32_t start = 0;
            for (const TitleCell& c : title.cells) start += c.angle <= 1 ? c.lengthMs : 0;
            title.chapters.push_back({title.cells.size(), start});
            if (first == 0 || !addCells(title, *pgc, first, end))
                return Titles::failure(ifo.string() + ": title " + std::to_string(t + 1) +
                                       ", chapter " + std::to_string(p + 1) +
                                       " names no cells of a program chain");
        }
        for (const TitleCell& c : title.cells)
            if (c.angle <= 1) title.lengthMs += c.lengthMs;
        titles.push_back(std::move(title));
    }
    return Titles::of(std::move(titles));
}

} // namespace mirtal
