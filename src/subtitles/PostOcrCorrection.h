#pragma once

#include "subtitles/SubtitleDocument.h"
#include "subtitles/SubtitleStore.h"

#include <cstdint>
#include <string>

namespace mirtal {

enum class IlLanguage : uint8_t { English = 0, French = 1, German = 2 };

// Two apostrophes become one double quote, and so do two double quotes.
std::string repairDoubledQuotes(const std::string& line);
// Capital I and small l look alike in subtitle fonts: every I is taken as l,
// then an l becomes I where the language's rules say a capital belongs.
// previousLast is the last character of the (repaired) line above, or a full
// stop for a first line.
std::string repairIlLine(const std::string& line, char previousLast, IlLanguage language);
void repairIlEntry(TSub& entry, IlLanguage language);

// The Correct button: quote repair, then I/l repair, over every line of
// every entry, then the list is rebuilt. Nothing happens with neither chosen.
void correctPostOcr(SubtitleDocument& doc, bool repairQuotes, bool repairIl, IlLanguage language);

} // namespace mirtal
