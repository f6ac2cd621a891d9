// The VobSub .idx reader: every byte is the text of the index.
#include "FuzzInput.h"
#include "rip/Demuxer.h"
#include "rip/VobSubIndex.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace mirtal;

namespace {

bool startsWithIgnoringCase(std::string_view s, std::string_view word) {
    if (s.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != word[i]) return false;
    return true;
}

// What the lines of the text start with, counted apart from the reader.
struct LineKinds {
    std::vector<std::string_view> lines; // split at LF only, as the reader does
    size_t ids = 0, timestamps = 0;

    explicit LineKinds(std::string_view text) {
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) end = text.size();
            lines.push_back(text.substr(pos, end - pos));
            pos = end + 1;
        }
        for (std::string_view line : lines) {
            std::string_view l = lead(line);
            if (startsWithIgnoringCase(l, "id:")) ++ids;
            if (startsWithIgnoringCase(l, "timestamp:")) ++timestamps;
        }
    }
    static std::string_view lead(std::string_view line) {
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        return line;
    }
    // Only the three entries the reader knows can be refused.
    bool refusable(size_t number) const {
        if (number < 1 || number > lines.size()) return false;
        std::string_view l = lead(lines[number - 1]);
        return startsWithIgnoringCase(l, "id:") || startsWithIgnoringCase(l, "delay:") ||
               startsWithIgnoringCase(l, "timestamp:");
    }
};

bool sameIndex(const VobSubIndex& a, const VobSubIndex& b) {
    for (size_t k = 0; k < a.streams.size(); ++k) {
        const VobSubStream &x = a.streams[k], &y = b.streams[k];
        if (x.present != y.present || x.code != y.code || x.entries.size() != y.entries.size())
            return false;
        for (size_t i = 0; i < x.entries.size(); ++i)
            if (x.entries[i].filePos != y.entries[i].filePos ||
                x.entries[i].startMs != y.entries[i].startMs)
                return false;
    }
    return true;
}

void checkRefusal(const LineKinds& kinds, const std::string& error) {
    if (error.empty()) fuzz::broken("a refusal without a message");
    if (error.rfind("no subtitle stream", 0) == 0) {
        if (kinds.ids != 0) fuzz::broken("no stream reported for a text with an \"id:\" line");
        return;
    }
    size_t number = 0;
    const char* p = error.c_str();
    if (std::strncmp(p, "line ", 5) != 0) fuzz::broken("a refusal without its line");
    for (p += 5; *p >= '0' && *p <= '9'; ++p) number = number * 10 + size_t(*p - '0');
    if (*p != ':') fuzz::broken("a refusal without its line");
    if (!kinds.refusable(number)) fuzz::broken("the refused line is not an id, delay or timestamp");
}

void checkIndex(std::string_view text, const LineKinds& kinds, const VobSubIndex& index,
                const uint8_t* data, size_t size) {
    size_t present = 0, entries = 0;
    const auto codes = index.codes();
    const StreamLanguages names = index.languages();
    for (size_t k = 0; k < index.streams.size(); ++k) {
        const VobSubStream& s = index.streams[k];
        if (codes[k] != s.code) fuzz::broken("codes() and the streams' codes");
        if (names[k].size() > 20) fuzz::broken("a language name longer than the IFO's");
        if (!s.present) {
            if (!s.code.empty() || !s.entries.empty() || !names[k].empty())
                fuzz::broken("a stream no \"id:\" line named has contents");
            continue;
        }
        ++present;
        if (s.code.size() > 20 || s.code.find_first_of(",\n") != std::string::npos ||
            text.find(s.code) == std::string_view::npos)
            fuzz::broken("a language code that is not from the text");
        entries += s.entries.size();
        const uint8_t id = uint8_t(0x20 + k);
        for (size_t i = 0; i < s.entries.size(); ++i) {
            const VobSubEntry& e = s.entries[i];
            if (e.startMs < 0) fuzz::broken("a negative start");
            if (i > 0 && s.entries[i - 1].filePos > e.filePos) fuzz::broken("entries out of order");
            const uint64_t pack = e.filePos / kPackSize;
            if (pack > UINT32_MAX) continue;
            std::optional<int64_t> found = index.startMs(id, uint32_t(pack));
            // The first entry at that position in file order answers.
            size_t first = i;
            while (first > 0 && s.entries[first - 1].filePos == e.filePos) --first;
            if (e.filePos % kPackSize == 0) {
                if (!found || *found != s.entries[first].startMs)
                    fuzz::broken("startMs misses a listed pack");
            } else if (found) {
                bool listed = false;
                for (const VobSubEntry& o : s.entries) listed |= o.filePos == pack * kPackSize;
                if (!listed) fuzz::broken("startMs finds a pack that is not listed");
            }
        }
    }
    if (present != kinds.ids) fuzz::broken("streams present and \"id:\" lines");
    if (entries != kinds.timestamps) fuzz::broken("entries and \"timestamp:\" lines");

    // Any stream id and pack: only 0x20..0x3F can answer.
    for (size_t i = 0; i + 4 < size; i += 5) {
        uint8_t id = data[i];
        uint32_t pack = uint32_t(data[i + 1]) | uint32_t(data[i + 2]) << 8 |
                        uint32_t(data[i + 3]) << 16 | uint32_t(data[i + 4]) << 24;
        std::optional<int64_t> a = index.startMs(id, pack), b = index.startMs(id, pack & 0xFFFF);
        if ((a || b) && (id < 0x20 || id >= 0x20 + kSubpictureStreams))
            fuzz::broken("a start for a stream id outside 0x20..0x3F");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const LineKinds kinds(text);
    VobSubIndex index;
    std::string error;
    const bool ok = parseVobSubIndex(text, index, error);
    if (ok)
        checkIndex(text, kinds, index, data, size);
    else
        checkRefusal(kinds, error);

    // Reading into an index that holds another file's streams gives the same.
    VobSubIndex again = index;
    again.streams[size % kSubpictureStreams].present = true;
    again.streams[size % kSubpictureStreams].code = "xx";
    again.streams[0].entries.push_back({0, 1});
    std::string againError;
    if (parseVobSubIndex(text, again, againError) != ok || (ok && !sameIndex(index, again)) ||
        (!ok && againError != error))
        fuzz::broken("a second read of the same text differs");
    return 0;
}
