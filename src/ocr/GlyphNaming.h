#pragma once

#include "base/Bitmap.h"
#include "ocr/CharBox.h"
#include "ocr/CharMatrix.h"
#include "ocr/GlyphMatcher.h"
#include "ocr/LineRecognizer.h"
#include "ocr/OcrSettings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace mirtal {

// Who names a glyph shape the matrix does not know: the user (Ask), the user
// with the recogniser's reading filled in (Suggest), or the recogniser's
// votes, the user being asked only about contested shapes (Auto).
enum class GlyphNaming : uint8_t { Ask = 0, Suggest = 1, Auto = 2 };

// The line image of a line of boxes: every pixel of a character's marker
// colour, from the first box's left edge and the highest box's top.
LineImage lineImageOf(const Bitmap24& work, std::span<const CharBox> boxes);

// What each box of a line reads as, from a reading of that line: the
// characters in order when their count is the box count (a double quote is
// drawn as two strokes and counts as two apostrophes), else word by word
// where a word's characters and the boxes inside it agree in number; none
// where neither holds. Guillemets drawn as two chevrons count as two boxes
// when that makes the numbers agree, the second reading as nothing; with
// one box more than characters, a lone apostrophe counts as the two strokes
// of a double quote. Box columns are taken from the first box's left edge.
std::vector<std::optional<std::string>> layReading(const LineReading& reading,
                                                   std::span<const CharBox> boxes);

// The height above the base line (a row of the glyph, one past its body's
// last row) of the lowest band of rows between empty rows that starts above
// it: the body of an accented letter without its accent, and with a
// cedilla that hangs below the line left out.
int glyphBodyHeight(const Glyph& glyph, int baseline);

// Letters whose two cases differ only in size take their case from the
// body's height against the x-height and the capital height; other texts
// stay as they are.
std::string caseBySize(const std::string& text, int bodyHeight, int xHeight, int capHeight);

// A plain bar: one run of ink per row, no empty row, of even width.
bool isPlainBar(const Glyph& glyph);

// The shape (an entry of `shapes`) a glyph belongs to while votes are
// counted. Plain bars of different heights are different shapes: the
// matcher's height allowance would pour the votes of I and l, bars that
// differ by a row in many fonts, into one shape. The matrix tells them
// apart afterwards, each taking its closest entry.
int findShape(const CharMatrix& shapes, const Glyph& glyph, const OcrSettings& settings);

// A plain bar (one run of ink per row, no gap, of even width) read as one
// of the characters such a bar may be taken for is I when its height lies
// nearer the capital height than the ascender height, else l: in many fonts
// nothing else tells them apart. Other texts stay as they are.
std::string barByHeight(const std::string& text, const Glyph& glyph, int capHeight,
                        int ascenderHeight);

// The readings a shape received.
struct ShapeVotes {
    std::map<std::string, int> counts;
    // The counts with the votes of a bare letter given to the same letter
    // with a mark that also has votes: a reader drops a cedilla or an accent
    // far more often than it invents one.
    std::map<std::string, int> merged() const;
    // The most frequent reading (the first in text order on a tie); empty without votes.
    std::string leader() const;
    // Settled while the stream is still being read: a few votes, one far
    // ahead. At the end of the stream: one reading clearly ahead of the next.
    bool settled(bool endOfStream) const;
};

// Names the glyph shapes of a stream by the votes of a line recogniser: a
// training pass shows it every line; lines that hold a shape not yet settled
// are read, and the reading laid onto the line's boxes gives each shape a vote.
class GlyphNamer {
public:
    void clear();
    // One line of the training pass. Shapes the matrix knows need no vote.
    void trainLine(const Bitmap24& work, std::span<const CharBox> boxes, const CharMatrix& matrix,
                   const OcrSettings& settings, LineRecognizer& recognizer);

    struct Outcome {
        int named = 0;     // shapes added to the matrix with the votes' reading
        int contested = 0; // shapes left to the user, their leading reading suggested
    };
    // The end of the training pass. The lines of shapes still contested are
    // read again by `recognizer` (when given), drawn larger and bolder: a
    // reader that misses a letter in one drawing often sees it in another.
    // In Auto mode the settled shapes then join the matrix (marked as named
    // automatically) in the order they were met, then the shapes without a
    // vote that match an entry at another top, with its text, and the plain
    // bars without a vote, as I or l by their height; every other shape's
    // leading reading becomes a suggestion.
    Outcome settle(CharMatrix& matrix, GlyphNaming naming, const OcrSettings& settings,
                   const std::function<void(int)>& onAdded, LineRecognizer* recognizer = nullptr);
    // The leading reading of the shape that the glyph matches; empty when none.
    std::string suggestionFor(const Glyph& glyph, const OcrSettings& settings) const;

    // Neighbouring glyphs that a reading took for one word, their texts
    // as their gaps are counted for the space width.
    struct WordPair {
        std::string left, right;
        bool italic = false; // the boxes were segmented as italics
        auto operator<=>(const WordPair&) const = default;
    };
    // The pairs inside words of the lines read whole (every box named).
    const std::set<WordPair>& pairsInsideWords() const { return m_insideWords; }

    int linesRead() const { return m_linesRead; }
    int shapes() const { return m_shapes.count(); }

private:
    static constexpr int kHeights = 64;
    // Lines kept for reading again at the end, and how often a contested
    // shape's lines are read again at most.
    static constexpr size_t kKeptLines = 128;
    static constexpr int kRereadsPerShape = 4;

    // A line that held a shape not yet settled when it was read.
    struct ReadLine {
        LineImage image;
        std::vector<CharBox> boxes;
        std::vector<Glyph> glyphs;
        std::vector<int> shape;         // per box; 0 where the matrix knows it
        std::vector<std::string> known; // per box, the matrix's text
    };

    std::optional<int> medianHeight(const std::array<int, kHeights>& counts) const;
    void countHeight(const std::string& text, int height);
    // Gives the shapes of `line` (only those in `only` when it is not empty)
    // the texts a reading laid on its boxes.
    void vote(const ReadLine& line, const std::vector<std::optional<std::string>>& texts,
              const std::vector<bool>& only);
    void keep(ReadLine line);
    void keepPairsInsideWords(const ReadLine& line, const LineReading& reading,
                              const std::vector<std::optional<std::string>>& texts);
    // Reads the kept lines of the given shapes again, drawn larger and bolder.
    void rereadContested(LineRecognizer& recognizer, const std::vector<int>& shapes);
    // The name of a vote-less plain bar: I or l by its height, none when its
    // height is neither a capital's nor an ascender's.
    std::optional<std::string> barName(const CharMatrixEntry& entry) const;

    CharMatrix m_shapes;
    std::vector<ShapeVotes> m_votes;
    std::vector<ReadLine> m_kept;
    CharMatrix m_suggestions;
    std::set<WordPair> m_insideWords;
    std::array<int, kHeights> m_xHeights{}, m_capHeights{}, m_ascenderHeights{};
    int m_linesRead = 0;
};

} // namespace mirtal
