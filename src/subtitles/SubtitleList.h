#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mirtal {

// What a view of the rendered document learns about its changes.
class SubtitleListObserver {
public:
    virtual ~SubtitleListObserver() = default;
    // The list was emptied, or rebuilt: re-read every line.
    virtual void linesReset() = 0;
    // count lines were added at the end, from index first on.
    virtual void linesAppended(size_t first, size_t count) = 0;
    // The last count lines were taken away; first is the old index of the first.
    virtual void linesRemoved(size_t first, size_t count) = 0;
    // The selected line changed (-1: none); a view scrolls it into sight.
    virtual void selectionChanged(int line) = 0;
    // The caption, the index label or the modified flag changed.
    virtual void documentStateChanged() {}
};

// The rendered document: one string per output text line, 8-bit text. Only
// the document changes it; views read it and attach one observer.
class SubtitleList {
public:
    const std::vector<std::string>& lines() const { return m_lines; }
    size_t size() const { return m_lines.size(); }
    bool empty() const { return m_lines.empty(); }
    const std::string& line(size_t i) const { return m_lines.at(i); }
    int selected() const { return m_selected; }

    void setObserver(SubtitleListObserver* observer) { m_observer = observer; }
    SubtitleListObserver* observer() const { return m_observer; }

    // A view moves the selection (first / last line buttons, clicks).
    void select(int line);
    void selectLast() { select(int(m_lines.size()) - 1); }

    // For the document.
    void clear();
    void append(std::vector<std::string>&& lines);
    void removeLast(size_t count);
    // While held, appends are gathered and reported as one reset at the end.
    void beginBulk();
    void endBulk();

private:
    std::vector<std::string> m_lines;
    int m_selected = -1;
    bool m_bulk = false;
    SubtitleListObserver* m_observer = nullptr;
};

} // namespace mirtal
