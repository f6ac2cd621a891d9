#pragma once

#include "base/Result.h"
#include "rip/RipJob.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace mirtal {

// A cell of a title's program chain: a stretch of packs of the title set's
// VOB files, counted over VTS_nn_1.VOB, VTS_nn_2.VOB, ... as one (the menu
// VTS_nn_0.VOB apart), both ends included.
struct TitleCell {
    uint32_t firstPack = 0;
    uint32_t lastPack = 0;
    uint32_t lengthMs = 0;
    // 0 outside an angle block; else the angle this cell plays (1, 2, ...).
    int angle = 0;
    bool operator==(const TitleCell&) const = default;
};

struct TitleChapter {
    size_t firstCell = 0; // index into the title's cells
    uint32_t startMs = 0; // from the title's start
    bool operator==(const TitleChapter&) const = default;
};

// A title of a title set as a player plays it: its cells in playing order
// (every angle's cells of an angle block; a job keeps one angle's) and its
// chapters.
struct Title {
    int number = 0; // 1, 2, ... within the title set
    uint32_t lengthMs = 0;
    int angles = 1;
    std::vector<TitleCell> cells;
    std::vector<TitleChapter> chapters;

    // The cells a job reads for the chapters first..last (1-based, inclusive)
    // and the chosen angle: other angles' cells are left out.
    std::vector<TitleCell> cellsToRead(int angle, size_t firstChapter, size_t lastChapter) const;
};

// A stretch of one VOB file that a job reads.
struct FileStretch {
    std::filesystem::path file;
    PackRange packs;
    bool operator==(const FileStretch&) const = default;
};

// Where the cells lie in the title set's VOB files (VTS_nn_1.VOB, ... in
// order, `packsPerFile` packs each): a cell that runs past the end of one
// file goes on at the start of the next; packs past the last file are none.
std::vector<FileStretch> stretchesOf(const std::vector<std::filesystem::path>& vobs,
                                     const std::vector<uint64_t>& packsPerFile,
                                     const std::vector<TitleCell>& cells);

// VTS_nn_1.VOB .. VTS_nn_9.VOB beside a VTS_nn_0.IFO, in name order (letter
// case ignored; the menu VTS_nn_0.VOB left out).
std::vector<std::filesystem::path> titleSetVobs(const std::filesystem::path& ifo);

// What a job reads for chapters first..last (1-based) of a title in one
// angle: the stretches of the title set's VOB files beside `ifo`, and where
// the title's first cell begins (its time line's start). No stretches when
// the chapters are not the title's or its cells lie past the files.
struct TitleJob {
    std::vector<FileStretch> stretches;
    FileStretch titleStart;

    // The stretches' files and pack ranges, as a job takes them.
    std::vector<std::filesystem::path> files() const;
    std::vector<PackRange> ranges() const;
};
TitleJob titleJob(const std::filesystem::path& ifo, const Title& title, int angle,
                  size_t firstChapter, size_t lastChapter);

// The titles of the title set of a VTS_nn_0.IFO, in number order; a failure
// names the file when it is no title set's IFO or its tables are damaged.
ValueResult<std::vector<Title>> readTitles(const std::filesystem::path& ifo);

} // namespace mirtal
