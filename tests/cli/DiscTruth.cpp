#include "DiscTruth.h"

#include "base/TextCodec.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace mirtal::test {

namespace {

// One box's worth of a line: a character, or one stroke of a double quote.
struct Slot {
    std::string text;
    size_t source; // index of the character in the line
};

std::vector<Slot> slotsOf(const std::string& line) {
    std::vector<Slot> slots;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') slots.push_back({"'", i});
        if (line[i] != ' ') slots.push_back({line[i] == '"' ? "'" : std::string(1, line[i]), i});
    }
    return slots;
}

// Cost of a layout step that is not one box per character.
constexpr int kUnevenStep = 4;

} // namespace

DiscTruth::DiscTruth(const std::string& disc, int stream) {
    const std::filesystem::path folder = std::filesystem::path(MIRTAL_TEST_DATA) / "discs" / disc;
    m_videoTs = folder / "VIDEO_TS";
    const std::string k = std::to_string(stream);
    std::ifstream truth(folder / ("truth_s" + k + ".txt")), subs(folder / ("subs_s" + k + ".tsv"));
    if (!truth || !subs) throw std::runtime_error("no ground truth for " + disc + " stream " + k);
    std::string line;
    m_blocks.emplace_back();
    while (std::getline(truth, line))
        if (line.empty())
            m_blocks.emplace_back();
        else
            m_blocks.back().push_back(utf8ToCp1252(line));
    std::getline(subs, line); // column names
    for (size_t index = 0; std::getline(subs, line);) {
        int64_t pts = 0;
        int32_t startMs = 0;
        std::istringstream(line) >> index >> pts >> startMs;
        m_blockByStart[startMs] = index;
    }
    if (m_blockByStart.size() != m_blocks.size())
        throw std::runtime_error("truth and unit table of " + disc + " disagree");
    std::ifstream facts(folder / "disc.txt");
    const std::string romanKey = "stream" + k + "_roman_units=";
    while (std::getline(facts, line)) {
        if (!line.starts_with(romanKey)) continue;
        m_italic.assign(m_blocks.size(), true);
        std::istringstream units(line.substr(romanKey.size()));
        for (std::string unit; std::getline(units, unit, ',');)
            m_italic.at(size_t(std::stoi(unit))) = false;
    }
}

bool DiscTruth::italicAt(int32_t startMs) const {
    auto it = m_blockByStart.find(startMs);
    return it != m_blockByStart.end() && it->second < m_italic.size() && m_italic[it->second];
}

const std::vector<std::string>* DiscTruth::blockAt(int32_t startMs) const {
    auto it = m_blockByStart.find(startMs);
    return it == m_blockByStart.end() ? nullptr : &m_blocks[it->second];
}

int DiscTruth::expectedWidth(const std::string& text) const {
    if (auto it = m_widths.find(text); it != m_widths.end())
        return it->second.first / it->second.second;
    // A character never seen alone: the median of those that were.
    std::vector<int> widths;
    for (const auto& [t, w] : m_widths) widths.push_back(w.first / w.second);
    if (widths.empty()) return 12;
    std::nth_element(widths.begin(), widths.begin() + widths.size() / 2, widths.end());
    return widths[widths.size() / 2];
}

std::vector<std::string> DiscTruth::assign(const std::string& line,
                                           std::span<const CharBox> boxes) {
    const std::vector<Slot> slots = slotsOf(line);
    const size_t nb = boxes.size(), ns = slots.size();
    std::vector<std::string> texts(nb);
    if (nb == ns) {
        for (size_t i = 0; i < nb; ++i) {
            texts[i] = slots[i].text;
            auto& [sum, count] = m_widths[slots[i].text];
            sum += boxes[i].Width;
            ++count;
        }
        return texts;
    }
    // Least total width misfit over layouts of 1 box per slot, 2 boxes per
    // slot (a cut character) and 1 box per 2 slots (touching characters).
    constexpr int kNone = std::numeric_limits<int>::max() / 2;
    std::vector<std::vector<int>> cost(nb + 1, std::vector<int>(ns + 1, kNone)),
        step(nb + 1, std::vector<int>(ns + 1, 0));
    cost[0][0] = 0;
    const auto width = [&](size_t j) { return expectedWidth(slots[j].text); };
    for (size_t i = 0; i < nb; ++i)
        for (size_t j = 0; j < ns; ++j) {
            const auto relax = [&](size_t di, size_t dj, int c, int kind) {
                if (cost[i][j] >= kNone || i + di > nb || j + dj > ns) return;
                if (cost[i][j] + c < cost[i + di][j + dj])
                    cost[i + di][j + dj] = cost[i][j] + c, step[i + di][j + dj] = kind;
            };
            relax(1, 1, std::abs(boxes[i].Width - width(j)), 1);
            if (i + 1 < nb)
                relax(2, 1,
                      std::abs(boxes[i + 1].X + boxes[i + 1].Width - boxes[i].X - width(j)) +
                          kUnevenStep,
                      2);
            if (j + 1 < ns)
                relax(1, 2, std::abs(boxes[i].Width - width(j) - width(j + 1)) + kUnevenStep, 3);
        }
    if (cost[nb][ns] >= kNone) throw std::runtime_error("no layout of the boxes on: " + line);
    for (size_t i = nb, j = ns; i > 0;) {
        if (step[i][j] == 1) {
            texts[--i] = slots[--j].text;
        } else if (step[i][j] == 2) { // the first piece carries the character
            texts[i - 2] = slots[--j].text;
            i -= 2;
        } else { // both strokes of a double quote in one box are that quote
            const Slot &a = slots[j - 2], &b = slots[j - 1];
            texts[--i] = a.source == b.source ? std::string(1, line[a.source]) : a.text + b.text;
            j -= 2;
        }
    }
    return texts;
}

std::string DiscTruth::answer(int32_t startMs, int line, int charIndex,
                              std::span<const CharBox> boxes) {
    const std::vector<std::string>* block = blockAt(startMs);
    if (!block) throw std::runtime_error("no subtitle starts at " + std::to_string(startMs));
    return assign(block->at(size_t(line - 1)), boxes).at(size_t(charIndex - 1));
}

std::string JoinLines(std::span<const std::string> lines) {
    std::string text;
    for (const std::string& l : lines) text += (text.empty() ? "" : " ") + l;
    return text;
}

} // namespace mirtal::test
