#include "ocr/GlyphNaming.h"

#include "ocr/ItalicText.h"
#include "ocr/Segmentation.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string_view>

namespace mirtal {

namespace {

// Characters no subtitle uses: a reading that offers one of them is taken
// at its next choice. Tesseract reads a bar-shaped I or l as '|'.
constexpr std::string_view kNeverInSubtitles = "|~^_{}\\";

// Typographic quotes as the matrix names them: one apostrophe per stroke.
std::string normalised(std::string text) {
    if (text == "\x93" || text == "\x94" || text == "\x84") return "\"";
    if (text == "\x91" || text == "\x92" || text == "`") return "'";
    return text;
}

std::optional<std::string> bestChoice(const RecognizedChar& c) {
    for (const std::string& choice : c.choices) {
        if (choice.empty()) continue;
        if (choice.size() == 1 && kNeverInSubtitles.find(choice[0]) != std::string_view::npos)
            continue;
        return normalised(choice);
    }
    return std::nullopt;
}

// The boxes a character takes: a double quote is two strokes, and so may
// be a guillemet (two chevrons).
int boxesOf(const std::optional<std::string>& text, bool splitGuillemets) {
    if (text == "\"") return 2;
    if (splitGuillemets && (text == "\xAB" || text == "\xBB")) return 2;
    return 1;
}

void layInOrder(std::span<const std::optional<std::string>> texts, bool splitGuillemets,
                std::span<std::optional<std::string>> out) {
    size_t b = 0;
    for (const auto& t : texts) {
        if (boxesOf(t, splitGuillemets) == 1) {
            out[b++] = t;
        } else if (t == "\"") {
            out[b++] = "'";
            out[b++] = "'";
        } else {
            out[b++] = t;
            out[b++] = "";
        }
    }
}

int unitCount(std::span<const std::optional<std::string>> texts, bool splitGuillemets) {
    int n = 0;
    for (const auto& t : texts) n += boxesOf(t, splitGuillemets);
    return n;
}

// Lays the texts onto as many boxes when their numbers agree. One box short,
// a single apostrophe among the texts is taken for a double quote: a reader
// often gives one of a pair of strokes as a closing single quote.
bool layIfCounted(std::span<const std::optional<std::string>> texts,
                  std::span<std::optional<std::string>> out) {
    for (bool split : {true, false})
        if (unitCount(texts, split) == int(out.size())) {
            layInOrder(texts, split, out);
            return true;
        }
    if (unitCount(texts, false) + 1 != int(out.size()) ||
        std::count(texts.begin(), texts.end(), std::optional<std::string>("'")) != 1)
        return false;
    std::vector<std::optional<std::string>> quoted(texts.begin(), texts.end());
    *std::find(quoted.begin(), quoted.end(), std::optional<std::string>("'")) = "\"";
    layInOrder(quoted, false, out);
    return true;
}

// A word of a reading: its characters [first, end) and the boxes [from, to)
// whose middle lies inside its columns.
struct ReadWord {
    size_t first = 0, end = 0, from = 0, to = 0;
};

std::vector<ReadWord> readWords(const LineReading& reading, std::span<const CharBox> boxes) {
    std::vector<ReadWord> words;
    if (boxes.empty()) return words;
    const int origin = boxes[0].X;
    for (size_t first = 0; first < reading.chars.size();) {
        ReadWord w{first, first + 1, boxes.size(), 0};
        while (w.end < reading.chars.size() && !reading.chars[w.end].wordStart) ++w.end;
        int left = reading.chars[first].left, right = reading.chars[first].right;
        for (size_t i = first; i < w.end; ++i) {
            left = std::min(left, reading.chars[i].left);
            right = std::max(right, reading.chars[i].right);
        }
        for (size_t b = 0; b < boxes.size(); ++b) {
            const int middle = boxes[b].X - origin + boxes[b].Width / 2;
            if (middle < left || middle > right) continue;
            w.from = std::min(w.from, b);
            w.to = b + 1;
        }
        words.push_back(w);
        first = w.end;
    }
    return words;
}

// Lower-case letters with an upper-case twin of the same shape in another
// size, and that twin (Windows-1252).
std::optional<char> twinOf(unsigned char c) {
    switch (c) {
    case 'c':
    case 'o':
    case 's':
    case 'v':
    case 'w':
    case 'x':
    case 'z':
        return char(c - 'a' + 'A');
    case 0x9A:
    case 0x9C:
    case 0x9E: // s caron, oe, z caron
        return char(c - 0x10);
    case 0xFF:
        return char(0x9F);
    default:
        if (c >= 0xE0 && c != 0xF7) return char(c - 0x20);
        return std::nullopt;
    }
}

std::optional<char> lowerTwinOf(unsigned char c) {
    for (int l = 0; l < 256; ++l)
        if (twinOf((unsigned char)l) == char(c)) return char(l);
    return std::nullopt;
}

} // namespace

LineImage lineImageOf(const Bitmap24& work, std::span<const CharBox> boxes) {
    LineImage image;
    if (boxes.empty()) return image;
    int top = boxes[0].Y, bottom = 0, right = 0;
    const int left = boxes[0].X;
    for (const CharBox& b : boxes) {
        top = std::min<int>(top, b.Y);
        bottom = std::max(bottom, b.Y + b.Height);
        right = std::max(right, b.X + b.Width);
    }
    bottom = std::min(bottom, work.height());
    right = std::min(right, work.width());
    image.width = std::max(0, right - left);
    image.height = std::max(0, bottom - top);
    image.on.assign(size_t(image.width) * size_t(image.height), 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Colour p = work.pixel(left + x, top + y);
            image.on[size_t(y) * size_t(image.width) + size_t(x)] =
                p == kCharColourA || p == kCharColourB;
        }
    return image;
}

std::vector<std::optional<std::string>> layReading(const LineReading& reading,
                                                   std::span<const CharBox> boxes) {
    std::vector<std::optional<std::string>> out(boxes.size());
    std::vector<std::optional<std::string>> texts;
    for (const RecognizedChar& c : reading.chars) texts.push_back(bestChoice(c));
    if (layIfCounted(texts, out)) return out;
    for (const ReadWord& w : readWords(reading, boxes)) {
        const std::span<const std::optional<std::string>> word(texts.data() + w.first,
                                                               w.end - w.first);
        if (w.from < w.to) layIfCounted(word, std::span(out).subspan(w.from, w.to - w.from));
    }
    return out;
}

int glyphBodyHeight(const Glyph& glyph, int baseline) {
    const int h = std::min({glyph.Height, kGlyphCellSize, baseline});
    int top = -1;
    for (int y = 0; y < h; ++y)
        if (glyph.Rows[size_t(y)] && (y == 0 || !glyph.Rows[size_t(y - 1)])) top = y;
    return top < 0 ? 0 : baseline - top;
}

std::string caseBySize(const std::string& text, int bodyHeight, int xHeight, int capHeight) {
    if (text.size() != 1 || capHeight <= xHeight) return text;
    const unsigned char c = (unsigned char)text[0];
    const bool upper = 2 * bodyHeight > xHeight + capHeight;
    if (auto twin = twinOf(c)) return upper ? std::string(1, *twin) : text;
    if (auto lower = lowerTwinOf(c)) return upper ? text : std::string(1, *lower);
    return text;
}

bool isPlainBar(const Glyph& glyph) {
    const int h = std::min(glyph.Height, kGlyphCellSize);
    if (h <= 0) return false;
    int narrowest = kGlyphCellSize, widest = 0;
    for (int y = 0; y < h; ++y) {
        const uint64_t row = glyph.Rows[size_t(y)];
        if (!row) return false;
        const int first = std::countr_zero(row), last = 63 - std::countl_zero(row);
        const int width = last - first + 1;
        if (std::popcount(row) != width) return false; // two runs
        narrowest = std::min(narrowest, width), widest = std::max(widest, width);
    }
    return widest - narrowest <= 1;
}

std::string barByHeight(const std::string& text, const Glyph& glyph, int capHeight,
                        int ascenderHeight) {
    constexpr std::string_view kBarReadings = "Il|!1ift/()[]";
    if (text.size() != 1 || kBarReadings.find(text[0]) == std::string_view::npos ||
        capHeight == ascenderHeight || !isPlainBar(glyph))
        return text;
    return std::abs(glyph.Height - capHeight) < std::abs(glyph.Height - ascenderHeight) ? "I" : "l";
}

int findShape(const CharMatrix& shapes, const Glyph& glyph, const OcrSettings& settings) {
    OcrSettings strict = settings;
    if (isPlainBar(glyph)) strict.MaxCharDiffHeight = 0;
    const int k = findMatchingEntry(shapes, glyph, strict);
    if (k == 0) return 0;
    // The matcher forgives a few pixels that tell accents apart (è and ê
    // at 20 pixels differ in 11 of some 60): a shape's glyphs may differ in a
    // pixel or two of noise, and in no more than a twenty-fifth of the ink.
    int ink = 0;
    for (uint64_t row : glyph.Rows) ink += std::popcount(row);
    return differingPixels(glyph, shapes.entry(k)) <= std::max(2, ink / 25) ? k : 0;
}

std::map<std::string, int> ShapeVotes::merged() const {
    // Windows-1252 letters with marks, and their bare letters.
    constexpr std::string_view kMarked = "\xC0\xC1\xC2\xC3\xC4\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE"
                                         "\xCF\xD2\xD3\xD4\xD5\xD6\xD9\xDA\xDB\xDC\xE0\xE1\xE2"
                                         "\xE3\xE4\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF2\xF3"
                                         "\xF4\xF5\xF6\xF9\xFA\xFB\xFC";
    constexpr std::string_view kBare = "AAAAACEEEEIIIIOOOOOUUUUaaaaaceeeeiiiiooooouuuu";
    static_assert(kMarked.size() == kBare.size());
    std::map<std::string, int> out = counts;
    for (const auto& [text, n] : counts) {
        const size_t at = text.size() == 1 ? kMarked.find(text[0]) : std::string_view::npos;
        if (at == std::string_view::npos) continue;
        const auto bare = out.find(std::string(1, kBare[at]));
        if (bare == out.end()) continue;
        out[text] += bare->second;
        out.erase(bare);
    }
    return out;
}

std::string ShapeVotes::leader() const {
    std::string best;
    int most = 0;
    for (const auto& [text, n] : merged())
        if (n > most) best = text, most = n;
    return best;
}

bool ShapeVotes::settled(bool endOfStream) const {
    int first = 0, second = 0;
    for (const auto& [text, n] : merged()) {
        if (n > first)
            second = first, first = n;
        else if (n > second)
            second = n;
    }
    if (endOfStream) return first > second && first >= 2 * second;
    return first >= 3 && first >= 3 * second;
}

void GlyphNamer::clear() {
    *this = GlyphNamer{};
}

void GlyphNamer::countHeight(const std::string& text, int height) {
    if (text.size() != 1 || height <= 0 || height >= kHeights) return;
    const char c = text[0];
    if (std::string_view("aemnru").find(c) != std::string_view::npos) ++m_xHeights[size_t(height)];
    // Capitals that sit on the base line and reach the capital height.
    if (c >= 'A' && c <= 'Z' && c != 'J' && c != 'Q' && c != 'I') ++m_capHeights[size_t(height)];
    if (std::string_view("bdhk").find(c) != std::string_view::npos)
        ++m_ascenderHeights[size_t(height)];
}

std::optional<int> GlyphNamer::medianHeight(const std::array<int, kHeights>& counts) const {
    int total = 0;
    for (int n : counts) total += n;
    if (total < 3) return std::nullopt;
    for (int h = 0, seen = 0; h < kHeights; ++h)
        if ((seen += counts[size_t(h)]) * 2 >= total) return h;
    return std::nullopt;
}

void GlyphNamer::trainLine(const Bitmap24& work, std::span<const CharBox> boxes,
                           const CharMatrix& matrix, const OcrSettings& settings,
                           LineRecognizer& recognizer) {
    ReadLine line;
    line.boxes.assign(boxes.begin(), boxes.end());
    line.shape.assign(boxes.size(), 0);
    line.known.resize(boxes.size());
    bool unsettled = false;
    for (size_t c = 0; c < boxes.size(); ++c) {
        line.glyphs.push_back(makeGlyph(work, boxes[c], markerColour(int(c) + 1)));
        const Glyph& glyph = line.glyphs.back();
        if (const int i = findMatchingEntry(matrix, glyph, settings)) {
            line.known[c] = matrix.entry(i).Text;
            continue;
        }
        int k = findShape(m_shapes, glyph, settings);
        if (k == 0 && !m_shapes.full()) {
            k = m_shapes.appendEntry(entryFromGlyph(glyph, {}));
            m_votes.emplace_back();
        }
        line.shape[c] = k;
        if (k && !m_votes[size_t(k - 1)].settled(false)) unsettled = true;
    }
    if (!unsettled) return;

    line.image = lineImageOf(work, boxes);
    const LineReading reading = recognizer.readLine(line.image);
    ++m_linesRead;
    const std::vector<std::optional<std::string>> texts = layReading(reading, boxes);
    for (size_t c = 0; c < boxes.size(); ++c) {
        if (line.shape[c] == 0)
            countHeight(line.known[c], boxes[c].Height);
        else if (texts[c])
            countHeight(*texts[c], boxes[c].Height);
    }
    vote(line, texts, {});
    keepPairsInsideWords(line, reading, texts);
    keep(std::move(line));
}

void GlyphNamer::keepPairsInsideWords(const ReadLine& line, const LineReading& reading,
                                      const std::vector<std::optional<std::string>>& texts) {
    // Only a reading that named every box agrees with the boxes well enough
    // to say where its words end.
    if (std::any_of(texts.begin(), texts.end(), [](const auto& t) { return !t; })) return;
    SlantProfile slant;
    for (size_t b = 0; b < line.glyphs.size(); ++b) slant += glyphSlant(line.glyphs[b], *texts[b]);
    const bool italic = slant.lean() > kItalicLean;
    for (const ReadWord& w : readWords(reading, line.boxes))
        for (size_t b = w.from; b + 1 < w.to; ++b)
            m_insideWords.insert({spacingKey(*texts[b], italic), spacingKey(*texts[b + 1], italic),
                                  line.boxes[b].Italic != 0});
}

void GlyphNamer::vote(const ReadLine& line, const std::vector<std::optional<std::string>>& texts,
                      const std::vector<bool>& only) {
    const std::optional<int> xHeight = medianHeight(m_xHeights);
    const std::optional<int> capHeight = medianHeight(m_capHeights);
    const std::optional<int> ascenderHeight = medianHeight(m_ascenderHeights);
    // The base line: where most boxes of the line end.
    std::map<int, int> bottoms;
    for (const CharBox& b : line.boxes) ++bottoms[b.Y + b.Height];
    const int baseline = std::max_element(bottoms.begin(), bottoms.end(), [](auto& a, auto& b) {
                             return a.second < b.second;
                         })->first;
    for (size_t c = 0; c < line.boxes.size(); ++c) {
        const int k = line.shape[c];
        if (k == 0 || !texts[c] || (!only.empty() && !only[size_t(k - 1)])) continue;
        std::string text = *texts[c];
        if (xHeight && capHeight)
            text = caseBySize(text, glyphBodyHeight(line.glyphs[c], baseline - line.boxes[c].Y),
                              *xHeight, *capHeight);
        if (capHeight && ascenderHeight)
            text = barByHeight(text, line.glyphs[c], *capHeight, *ascenderHeight);
        ++m_votes[size_t(k - 1)].counts[text];
    }
}

void GlyphNamer::keep(ReadLine line) {
    if (m_kept.size() >= kKeptLines) {
        // Make room by the lines whose every shape has settled since.
        std::erase_if(m_kept, [&](const ReadLine& kept) {
            return std::all_of(kept.shape.begin(), kept.shape.end(), [&](int k) {
                return k == 0 || m_votes[size_t(k - 1)].settled(false);
            });
        });
        if (m_kept.size() >= kKeptLines) return;
    }
    m_kept.push_back(std::move(line));
}

namespace {

Glyph glyphOf(const CharMatrixEntry& entry) {
    Glyph glyph;
    glyph.Width = entry.Width, glyph.Height = entry.Height, glyph.RelTop = entry.Top;
    glyph.Rows = entry.Rows;
    return glyph;
}

// The line twice as large, and the line with every stroke a pixel wider:
// the drawings a contested line is read again in, with the factor that
// brings the reading's columns back to the line's.
LineImage doubled(const LineImage& line) {
    LineImage out;
    out.width = line.width * 2;
    out.height = line.height * 2;
    out.on.resize(size_t(out.width) * size_t(out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.on[size_t(y) * size_t(out.width) + size_t(x)] = line.at(x / 2, y / 2);
    return out;
}

LineImage bolder(const LineImage& line) {
    LineImage out = line;
    for (int y = 0; y < line.height; ++y)
        for (int x = 1; x < line.width; ++x)
            if (line.at(x - 1, y)) out.on[size_t(y) * size_t(line.width) + size_t(x)] = 1;
    return out;
}

} // namespace

void GlyphNamer::rereadContested(LineRecognizer& recognizer, const std::vector<int>& shapes) {
    std::vector<bool> contested(m_votes.size());
    for (int k : shapes) contested[size_t(k - 1)] = true;
    std::vector<int> rereads(m_votes.size(), 0);
    for (const ReadLine& line : m_kept) {
        bool wanted = false;
        for (int k : line.shape)
            wanted |=
                k != 0 && contested[size_t(k - 1)] && rereads[size_t(k - 1)] < kRereadsPerShape;
        if (!wanted) continue;
        for (int k : line.shape)
            if (k != 0) ++rereads[size_t(k - 1)];
        for (int scale : {2, 1}) {
            LineReading reading =
                recognizer.readLine(scale == 2 ? doubled(line.image) : bolder(line.image));
            ++m_linesRead;
            for (RecognizedChar& c : reading.chars) c.left /= scale, c.right /= scale;
            vote(line, layReading(reading, line.boxes), contested);
        }
    }
}

std::optional<std::string> GlyphNamer::barName(const CharMatrixEntry& entry) const {
    const Glyph glyph = glyphOf(entry);
    const std::optional<int> capHeight = medianHeight(m_capHeights);
    const std::optional<int> ascenderHeight = medianHeight(m_ascenderHeights);
    if (!capHeight || !ascenderHeight || !isPlainBar(glyph)) return std::nullopt;
    // An apostrophe or a dash is a plain bar too, far shorter than both.
    constexpr int kNear = 2;
    if (std::abs(glyph.Height - *capHeight) > kNear &&
        std::abs(glyph.Height - *ascenderHeight) > kNear)
        return std::nullopt;
    const std::string name = barByHeight("l", glyph, *capHeight, *ascenderHeight);
    return name == "l" && *capHeight == *ascenderHeight ? std::nullopt : std::optional(name);
}

GlyphNamer::Outcome GlyphNamer::settle(CharMatrix& matrix, GlyphNaming naming,
                                       const OcrSettings& settings,
                                       const std::function<void(int)>& onAdded,
                                       LineRecognizer* recognizer) {
    Outcome outcome;
    m_suggestions.clearMatrix();
    const bool automatic = naming == GlyphNaming::Auto;
    auto named = [&](int k, std::string text) {
        CharMatrixEntry entry = m_shapes.entry(k);
        entry.Text = std::move(text);
        entry.AutoNamed = true;
        const int index = matrix.appendEntry(std::move(entry));
        ++outcome.named;
        if (onAdded) onAdded(index);
    };
    auto leader = [&](int k) {
        return m_votes[size_t(k - 1)].leader().substr(0, kEntryTextLength);
    };
    auto settledNow = [&](int k) {
        if (!automatic || !m_votes[size_t(k - 1)].settled(true) || matrix.full()) return false;
        named(k, leader(k));
        return true;
    };
    std::vector<int> open;
    for (int k = 1; k <= m_shapes.count(); ++k)
        if (!settledNow(k)) open.push_back(k);
    // A shape without a single vote may be a known glyph at another height
    // in its line: a line of three dots is read as nothing, and its dots sit
    // at the top of their line. It takes the name of the closest entry of its
    // pixels at any top.
    OcrSettings anyTop = settings;
    anyTop.MaxCharDiffTop = 255;
    std::erase_if(open, [&](int k) {
        if (!automatic || !m_votes[size_t(k - 1)].counts.empty() || matrix.full()) return false;
        const int twin = findShape(matrix, glyphOf(m_shapes.entry(k)), anyTop);
        if (twin) named(k, matrix.entry(twin).Text);
        return twin != 0;
    });
    if (recognizer && naming != GlyphNaming::Ask && !open.empty()) {
        rereadContested(*recognizer, open);
        std::erase_if(open, settledNow);
    }
    for (int k : open) {
        if (automatic && m_votes[size_t(k - 1)].counts.empty() && !matrix.full())
            if (std::optional<std::string> bar = barName(m_shapes.entry(k))) {
                named(k, *bar);
                continue;
            }
        CharMatrixEntry entry = m_shapes.entry(k);
        entry.Text = leader(k);
        m_suggestions.appendEntry(std::move(entry));
        ++outcome.contested;
    }
    m_shapes.clearMatrix();
    m_votes.clear();
    m_kept.clear();
    return outcome;
}

std::string GlyphNamer::suggestionFor(const Glyph& glyph, const OcrSettings& settings) const {
    const int k = findShape(m_suggestions, glyph, settings);
    return k ? m_suggestions.entry(k).Text : std::string();
}

} // namespace mirtal
