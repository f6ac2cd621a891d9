#include "base/TextCodec.h"

#include <cstdint>

namespace mirtal {

namespace {

// Code points of 0x80..0x9F in Windows-1252; 0 where the code page has none
// (those bytes pass through as the C1 control of the same value).
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

char toCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return char(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return char(0x80 + i);
    if (cp >= 0x80 && cp < 0xA0 && kHigh[cp - 0x80] == 0) return char(cp);
    return '?';
}

// One strictly formed UTF-8 sequence at text[i]: no overlong forms, no
// surrogates, nothing above U+10FFFF. Returns its length, 0 when invalid.
size_t readUtf8(std::string_view text, size_t i, char32_t& cp) {
    const unsigned char c = (unsigned char)text[i];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    size_t len = 0;
    char32_t min = 0;
    if ((c >> 5) == 6) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c >> 4) == 14) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c >> 3) == 30) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        const unsigned char cc = (unsigned char)text[i + k];
        if ((cc & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

const char* encodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? "UTF-8" : "Windows-1252";
}

std::string encodeText(std::string_view cp1252, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? cp1252ToUtf8(cp1252) : std::string(cp1252);
}

ValueResult<std::string> decodeText(std::string_view bytes, TextEncoding encoding,
                                    size_t* replaced) {
    using Text = ValueResult<std::string>;
    if (replaced) *replaced = 0;
    if (encoding != TextEncoding::Utf8) return Text::of(std::string(bytes));
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    std::string out;
    out.reserve(bytes.size());
    size_t line = 1, lineStart = 0;
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const size_t len = readUtf8(bytes, i, cp);
        if (len == 0)
            return Text::failure("not UTF-8 text: line " + std::to_string(line) + ", byte " +
                                 std::to_string(i - lineStart + 1) + " of the line");
        const char c = toCp1252(cp);
        if (c == '?' && cp != '?' && replaced) ++*replaced;
        out += c;
        if (cp == '\n') ++line, lineStart = i + 1;
        i += len;
    }
    return Text::of(std::move(out));
}

TextEncoding detectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return TextEncoding::Utf8;
    bool beyondAscii = false;
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const size_t len = readUtf8(bytes, i, cp);
        if (len == 0) return TextEncoding::Cp1252;
        beyondAscii |= len > 1;
        i += len;
    }
    return beyondAscii ? TextEncoding::Utf8 : TextEncoding::Cp1252;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80] != 0)
            appendUtf8(out, kHigh[c - 0x80]);
        else
            appendUtf8(out, c);
    }
    return out;
}

std::string utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = (unsigned char)text[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = 0;
        bool valid = len > 0 && i + size_t(len) <= text.size();
        if (valid) {
            cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
            for (int k = 1; k < len; ++k) {
                unsigned char cc = (unsigned char)text[i + size_t(k)];
                if ((cc & 0xC0) != 0x80) {
                    valid = false;
                    break;
                }
                cp = cp << 6 | (cc & 0x3F);
            }
        }
        if (!valid) {
            out += char(c);
            ++i;
            continue;
        }
        out += toCp1252(cp);
        i += size_t(len);
    }
    return out;
}

} // namespace mirtal
