#include "subtitles/PostOcrCorrection.h"

namespace mirtal {

std::string repairDoubledQuotes(const std::string& line) {
    std::string s = line;
    std::string r = line;
    size_t d = 0;
    for (size_t k = 1; k < s.size(); ++k) {
        if ((s[k] == '\'' && s[k - 1] == '\'') || (s[k] == '"' && s[k - 1] == '"')) {
            s[k] = '*'; // this character must not pair again
            r[k - 1 - d] = '"';
            r.erase(k - d, 1);
            ++d;
        }
    }
    return r;
}

namespace {

bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

// w holds two characters of context on each side of the line; k indexes it.
bool ruleHolds(char rule, const std::string& w, size_t k) {
    const char m2 = w[k - 2], m1 = w[k - 1], p1 = w[k + 1], p2 = w[k + 2];
    switch (rule) {
    case 'A':
        return m1 == ' ' && (p1 == '\'' || p2 == '\'');
    case 'B':
        return m1 == ' ' && p1 == ' ';
    case 'C':
        return m1 == ' ' && p1 == 't' && p2 == ' ';
    case 'D':
        return (m1 == '.' && m2 != '.') || (m1 == ' ' && m2 == '.');
    case 'E':
        return (m1 == '-' && (m2 == ' ' || m2 == '-')) || (m1 == ' ' && m2 == '-');
    case 'F':
        return m1 == '[' || (m2 == '[' && m1 == ' ');
    case 'G':
        return isUpper(p1) || (isUpper(m1) && m1 != 'I' && p1 == ' ');
    case 'H':
        return p1 == 'l' && (p2 == 'l' || (m1 == ' ' && p2 == ' '));
    case 'J':
        return m1 == ' ' &&
               (p1 == 'n' || p1 == 'd' || p1 == 'h' || p1 == 'c' || p1 == 'r' || p1 == 's');
    }
    return false;
}

const char* rulesOf(IlLanguage language) {
    switch (language) {
    case IlLanguage::French:
        return "DEFGH";
    case IlLanguage::German:
        return "ABCDEFGHJ";
    case IlLanguage::English:
        break;
    }
    return "ABCDEFGH";
}

} // namespace

std::string repairIlLine(const std::string& line, char previousLast, IlLanguage language) {
    if (line.empty()) return line;
    std::string w = "  " + line + "  ";
    for (size_t k = 2; k < w.size() - 2; ++k)
        if (w[k] == 'I') w[k] = 'l';
    w[0] = previousLast;
    const char* rules = rulesOf(language);
    for (size_t k = 2; k < w.size() - 2; ++k) {
        if (w[k] != 'l') continue;
        for (const char* r = rules; *r; ++r) {
            if (ruleHolds(*r, w, k)) {
                w[k] = 'I';
                break;
            }
        }
    }
    return w.substr(2, w.size() - 4);
}

void repairIlEntry(TSub& entry, IlLanguage language) {
    for (int j = 0; j < entry.NbLines; ++j) {
        char previousLast = '.';
        if (j > 0) {
            const std::string& above = entry.Lines[size_t(j - 1)];
            // An empty line above gives no sentence context.
            previousLast = above.empty() ? ' ' : above.back();
        }
        entry.Lines[size_t(j)] = repairIlLine(entry.Lines[size_t(j)], previousLast, language);
    }
}

void correctPostOcr(SubtitleDocument& doc, bool repairQuotes, bool repairIl, IlLanguage language) {
    if (!repairQuotes && !repairIl) return;
    SubtitleStore& store = doc.store();
    if (repairQuotes)
        for (int i = 1; i <= store.nbSubTitle(); ++i) {
            TSub& e = store.entry(i);
            for (int j = 0; j < e.NbLines; ++j)
                e.Lines[size_t(j)] = repairDoubledQuotes(e.Lines[size_t(j)]);
        }
    if (repairIl)
        for (int i = 1; i <= store.nbSubTitle(); ++i) repairIlEntry(store.entry(i), language);
    doc.refreshList();
}

} // namespace mirtal
