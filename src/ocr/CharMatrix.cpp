#include "ocr/CharMatrix.h"

#include <algorithm>

namespace mirtal {

void CharMatrix::clearMatrix() {
    m_entries.clear();
    m_comment.clear();
    m_fileName.clear();
    m_modified = false;
}

int CharMatrix::appendEntry(CharMatrixEntry entry) {
    if (full()) return 0;
    entry.Width = std::min<uint8_t>(entry.Width, kGlyphCellSize);
    entry.Height = std::min<uint8_t>(entry.Height, kGlyphCellSize);
    if (entry.Text.size() > kEntryTextLength) entry.Text.resize(kEntryTextLength);
    m_entries.push_back(std::move(entry));
    m_modified = true;
    return count();
}

void CharMatrix::deleteEntry(int i) {
    if (i < 1 || i > count()) return;
    if (i != count()) m_entries[size_t(i - 1)] = std::move(m_entries.back());
    m_entries.pop_back();
    // The editor marks the matrix modified too; doing it here as well means no
    // caller can forget it and lose the deletion on close.
    m_modified = true;
}

void CharMatrix::setEntryText(int i, const std::string& text) {
    if (i < 1 || i > count()) return;
    m_entries[size_t(i - 1)].Text = text.substr(0, kEntryTextLength);
    m_entries[size_t(i - 1)].AutoNamed = false;
    m_modified = true;
}

void CharMatrix::setComment(const std::string& text) {
    m_comment = text.substr(0, kMatrixCommentLength);
    m_modified = true;
}

} // namespace mirtal
