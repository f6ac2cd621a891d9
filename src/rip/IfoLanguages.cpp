#include "rip/IfoLanguages.h"

#include "base/Files.h"

#include <array>
#include <cerrno>
#include <optional>

namespace mirtal {

namespace {

struct Language {
    std::string_view code, name;
};

constexpr std::array kLanguages = {
    Language{"en", "English"},   Language{"de", "German"},   Language{"es", "Spanish"},
    Language{"nl", "Dutch"},     Language{"sv", "Swedish"},  Language{"no", "Norwegian"},
    Language{"da", "Danish"},    Language{"fi", "Finnish"},  Language{"pt", "Portugese"},
    Language{"iw", "Hebrew"},    Language{"pl", "Polish"},   Language{"el", "Greek"},
    Language{"cs", "Czech"},     Language{"tr", "Turkish"},  Language{"hu", "Hungarian"},
    Language{"is", "Icelandic"}, Language{"hr", "Croatian"}, Language{"fr", "French"},
    Language{"it", "Italian"},   Language{"hi", "Hindi"},
};

constexpr size_t kFirstCode = 600;
constexpr size_t kEntrySize = 6;
constexpr size_t kMaxNameLength = 20;

} // namespace

std::string languageNameOf(std::string_view code) {
    if (code.size() == 2 && code[0] == '\0' && code[1] == '\0') return {};
    for (const Language& l : kLanguages)
        if (l.code == code) return std::string(l.name);
    return std::string(code);
}

IfoReadResult readIfoStreamLanguages(const std::filesystem::path& path, StreamLanguages& names) {
    IfoReadResult result;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        result.message = "IFO file " + path.string() + " not found";
        return result;
    }
    result.found = true;
    std::array<char, kFirstCode + kEntrySize * kSubpictureStreams> head{};
    const ValueResult<std::string> start = readFileStart(path, head.size());
    if (!start) {
        result.message = start.error;
        return result;
    }
    std::copy(start->begin(), start->end(), head.begin());
    size_t got = start->size();
    for (int k = 0; k < kSubpictureStreams; ++k) {
        size_t at = kFirstCode + kEntrySize * size_t(k);
        if (at + 2 > got) break;
        std::string_view code(head.data() + at, 2);
        result.codes[size_t(k)] = code[0] == 0 && code[1] == 0 ? "" : std::string(code);
        names[size_t(k)] = languageNameOf(code).substr(0, kMaxNameLength);
        result.streamsRead = k + 1;
    }
    if (result.streamsRead < kSubpictureStreams)
        result.message = "IFO file " + path.string() + " is too short (" + std::to_string(got) +
                         " bytes): the languages of streams " +
                         std::to_string(result.streamsRead + 1) + " to 32 are missing";
    return result;
}

std::vector<std::string> streamListTexts(const StreamLanguages& names) {
    std::vector<std::string> lines;
    lines.reserve(kSubpictureStreams);
    for (int k = 1; k <= kSubpictureStreams; ++k)
        lines.push_back(std::to_string(k) + (k < 10 ? "  - " : " - ") + names[size_t(k - 1)]);
    return lines;
}

} // namespace mirtal
