#include "ocr/CharMatrix.h"

#include <algorithm>

namespace mirtal {

void CharMatrix::ClearMatrix() {
    m_entries.clear();
    m_comment.clear();
    m_fileName.clear();
    m_modified = false;
}

int CharMatrix::AppendEntry(CharMatrixEntry entry) {
    if (full()) return 0;
    entry.Width = std::min<uint8_t>(entry.Width, GlyphCellSize);
    entry.Height = std::min<uint8_t>(entry.Height, GlyphCellSize);
    if (entry.Text.size() > kEntryTextLength) entry.Text.resize(kEntryTextLength);
    m_entries.push_back(std::move(entry));
    m_modified = true;
    return Count();
}

void CharMatrix::DeleteEntry(int i) {
    if (i < 1 || i > Count()) return;
    if (i != Count()) m_entries[size_t(i - 1)] = std::move(m_entries.back());
    m_entries.pop_back();
    // The editor marks the matrix modified too; doing it here as well means no
    // caller can forget it and lose the deletion on close.
    m_modified = true;
}

void CharMatrix::SetEntryText(int i, const std::string& text) {
    if (i < 1 || i > Count()) return;
    m_entries[size_t(i - 1)].Text = text.substr(0, kEntryTextLength);
    m_entries[size_t(i - 1)].AutoNamed = false;
    m_modified = true;
}

void CharMatrix::SetComment(const std::string& text) {
    m_comment = text.substr(0, kMatrixCommentLength);
    m_modified = true;
}

} // namespace mirtal
