#pragma once

#include "base/Colour.h"
#include "subtitles/TimeCode.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mirtal {

// One subtitle: its times, up to ten text lines and the rectangle its picture
// occupied. Lines[0] is the top line; slots from NbLines on are unused.
struct TSub {
    static constexpr int kMaxLines = 10;

    TTimeCode Start;
    TTimeCode Stop; // all zero while not known yet
    uint8_t NbLines = 0;
    std::array<std::string, kMaxLines> Lines;
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;

    Rect rect() const { return {X1, Y1, X2, Y2}; }
    void setRect(const Rect& r) {
        X1 = r.X1;
        Y1 = r.Y1;
        X2 = r.X2;
        Y2 = r.Y2;
    }
    bool operator==(const TSub&) const = default;
};

enum class AddStatus { Added, NoText, StoreFull };

// The subtitles in the order they were added, numbered from 1. Entries are
// appended, changed in place or all dropped at once; never removed singly.
class SubtitleStore {
public:
    static constexpr int kCapacity = 15000;

    int nbSubTitle() const { return int(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    bool full() const { return nbSubTitle() >= kCapacity; }

    // Entry i, 1-based; throws std::out_of_range outside 1..nbSubTitle.
    const TSub& entry(int i) const;
    TSub& entry(int i);
    const TSub& last() const { return entry(nbSubTitle()); }
    TSub& last() { return entry(nbSubTitle()); }

    // Stores one entry. No text: nothing stored. A full store refuses the
    // entry rather than overwrite anything. Lines past the tenth are joined
    // to the tenth, separated by a blank, so that no recognised text is lost.
    AddStatus add(const std::vector<std::string>& lines, TTimeCode start, TTimeCode stop,
                  const Rect& rect);
    void clear() { m_entries.clear(); }
    // Keeps the first `count` entries: what a pass read before it had to
    // start again.
    void truncate(int count) {
        if (count >= 0 && count < nbSubTitle()) m_entries.resize(size_t(count));
    }

    const std::vector<TSub>& entries() const { return m_entries; }

private:
    std::vector<TSub> m_entries;
};

// The text to report when addSubtitle meets a full store.
std::string storeFullMessage();

} // namespace mirtal
