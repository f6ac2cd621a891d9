#pragma once

#include <iterator>
#include <string>
#include <vector>

namespace mirtal {

// The indexed texts of message boxes and dialog titles. English by default;
// a language file may replace them. Callers fetch a text when they need it,
// so a newly loaded language applies to every later message.
class MessageCatalogue {
public:
    MessageCatalogue() { FillMessageCatalogue(); }

    static constexpr int kDefaultCount = 51;

    // Clears the catalogue and puts back the built-in English texts.
    void FillMessageCatalogue();
    // Entry i, or an empty text for an index past the end.
    const std::string& text(int i) const;
    std::string operator[](int i) const { return text(i); }
    int count() const { return int(m_texts.size()); }
    // Replaces entry i, or appends it when i is the next index.
    void set(int i, const std::string& value);

private:
    std::vector<std::string> m_texts;
};

} // namespace mirtal
