#include "rip/VobSubIndex.h"

#include "base/Files.h"
#include "rip/Demuxer.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace mirtal {

namespace {

constexpr size_t kMaxNameLength = 20;
constexpr uint64_t kMaxIndexBytes = 16ull << 20;

// A cursor over one line that never reads past it.
class LineReader {
public:
    explicit LineReader(std::string_view s) : m_s(s) {}

    void skipSpaces() {
        while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\t')) ++m_i;
    }
    bool eat(char c) {
        skipSpaces();
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    bool eatWord(std::string_view word) {
        skipSpaces();
        if (m_s.size() - m_i < word.size() || !equalsIgnoreCase(m_s.substr(m_i, word.size()), word))
            return false;
        m_i += word.size();
        return true;
    }
    // 1..maxDigits decimal digits.
    bool number(int maxDigits, int64_t& v) {
        skipSpaces();
        int digits = 0;
        v = 0;
        while (m_i < m_s.size() && std::isdigit(static_cast<unsigned char>(m_s[m_i])) &&
               digits < maxDigits) {
            v = v * 10 + (m_s[m_i++] - '0');
            ++digits;
        }
        return digits > 0 && !digitFollows();
    }
    // 1..16 hexadecimal digits.
    bool hex(uint64_t& v) {
        skipSpaces();
        int digits = 0;
        v = 0;
        while (m_i < m_s.size() && std::isxdigit(static_cast<unsigned char>(m_s[m_i])) &&
               digits < 16) {
            char c = char(std::tolower(static_cast<unsigned char>(m_s[m_i++])));
            v = v * 16 + uint64_t(c <= '9' ? c - '0' : c - 'a' + 10);
            ++digits;
        }
        return digits > 0 &&
               !(m_i < m_s.size() && std::isxdigit(static_cast<unsigned char>(m_s[m_i])));
    }
    // Up to (not including) `stop` or the end of the line, spaces trimmed.
    std::string_view until(char stop) {
        skipSpaces();
        size_t from = m_i;
        while (m_i < m_s.size() && m_s[m_i] != stop) ++m_i;
        std::string_view v = m_s.substr(from, m_i - from);
        while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
        return v;
    }
    bool atEnd() {
        skipSpaces();
        return m_i >= m_s.size();
    }

private:
    bool digitFollows() const {
        return m_i < m_s.size() && std::isdigit(static_cast<unsigned char>(m_s[m_i]));
    }

    std::string_view m_s;
    size_t m_i = 0;
};

// [-]HH:MM:SS:mmm in milliseconds.
bool readTime(LineReader& r, int64_t& ms) {
    const bool negative = r.eat('-');
    int64_t h = 0, m = 0, s = 0, f = 0;
    if (!r.number(3, h) || !r.eat(':') || !r.number(2, m) || !r.eat(':') || !r.number(2, s) ||
        !r.eat(':') || !r.number(3, f) || m > 59 || s > 59)
        return false;
    ms = ((h * 60 + m) * 60 + s) * 1000 + f;
    if (negative) ms = -ms;
    return true;
}

std::string lineError(size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// Reads an index line by line; each line's reader returns what is wrong with
// it, empty when nothing is.
class IndexParser {
public:
    explicit IndexParser(VobSubIndex& out) : m_out(out) {}

    std::string line(LineReader& r) {
        if (r.eatWord("id:")) return stream(r);
        if (r.eatWord("delay:")) return delay(r);
        if (r.eatWord("timestamp:")) return timestamp(r);
        if (r.eatWord("size:"))
            frameSize(r);
        else if (r.eatWord("palette:"))
            palette(r);
        // Anything else (langidx, scale, ...) does not concern the rip.
        return {};
    }
    bool anyStream() const { return m_stream != nullptr; }

private:
    std::string stream(LineReader& r) {
        std::string_view code = r.until(',');
        int64_t index = 0;
        if (!r.eat(',') || !r.eatWord("index:") || !r.number(3, index) || !r.atEnd())
            return "expected \"id: xx, index: N\"";
        if (index >= kSubpictureStreams)
            return "stream index " + std::to_string(index) + " is not 0..31";
        m_stream = &m_out.streams[size_t(index)];
        if (m_stream->present) return "stream index " + std::to_string(index) + " twice";
        m_stream->present = true;
        m_stream->code = std::string(code.substr(0, kMaxNameLength));
        m_delay = m_fileDelay;
        return {};
    }
    // A delay before the first stream applies to the whole file; one inside
    // a stream's section adds to it for the rest of that section.
    std::string delay(LineReader& r) {
        int64_t ms = 0;
        if (!readTime(r, ms) || !r.atEnd()) return "expected \"delay: HH:MM:SS:mmm\"";
        if (m_stream)
            m_delay = m_fileDelay + ms;
        else
            m_fileDelay = m_delay = ms;
        return {};
    }
    std::string timestamp(LineReader& r) {
        int64_t ms = 0;
        uint64_t filePos = 0;
        if (!readTime(r, ms) || !r.eat(',') || !r.eatWord("filepos:") || !r.hex(filePos) ||
            !r.atEnd())
            return "expected \"timestamp: HH:MM:SS:mmm, filepos: HEX\"";
        if (!m_stream) return "timestamp before any \"id:\" line";
        m_stream->entries.push_back({filePos, std::max<int64_t>(0, ms + m_delay)});
        return {};
    }
    // The frame the pictures are placed in (1920x1080 for an HD source); a
    // line that does not read keeps the DVD frame rather than refusing the rip.
    void frameSize(LineReader& r) {
        int64_t w = 0, h = 0;
        if (r.number(4, w) && (r.eat('x') || r.eat('X')) && r.number(4, h) && w > 0 && h > 0)
            m_out.frameWidth = int(w), m_out.frameHeight = int(h);
    }
    void palette(LineReader& r) {
        std::array<uint32_t, 16> palette{};
        size_t k = 0;
        for (uint64_t v = 0;
             k < palette.size() && (k == 0 || r.eat(',')) && r.hex(v) && v <= 0xFFFFFF; ++k)
            palette[k] = uint32_t(v);
        if (k == palette.size() && r.atEnd()) m_out.palette = palette;
    }

    VobSubIndex& m_out;
    VobSubStream* m_stream = nullptr;
    int64_t m_fileDelay = 0, m_delay = 0;
};

} // namespace

std::optional<int64_t> VobSubIndex::startMs(uint8_t streamId, uint32_t pack) const {
    const VobSubEntry* e = find(streamId, uint64_t(pack) * kPackSize);
    return e ? std::optional<int64_t>(e->startMs) : std::nullopt;
}

const VobSubEntry* VobSubIndex::find(uint8_t streamId, uint64_t offset) const {
    if (streamId < 0x20 || streamId >= 0x20 + kSubpictureStreams) return nullptr;
    const auto& entries = streams[size_t(streamId - 0x20)].entries;
    auto it = std::lower_bound(entries.begin(), entries.end(), offset,
                               [](const VobSubEntry& e, uint64_t p) { return e.filePos < p; });
    return it == entries.end() || it->filePos != offset ? nullptr : &*it;
}

StreamLanguages VobSubIndex::languages() const {
    StreamLanguages names;
    for (size_t k = 0; k < streams.size(); ++k)
        if (streams[k].present)
            names[k] = languageNameOf(streams[k].code).substr(0, kMaxNameLength);
    return names;
}

std::array<std::string, kSubpictureStreams> VobSubIndex::codes() const {
    std::array<std::string, kSubpictureStreams> out;
    for (size_t k = 0; k < streams.size(); ++k) out[k] = streams[k].code;
    return out;
}

bool parseVobSubIndex(std::string_view text, VobSubIndex& out, std::string& error) {
    out = VobSubIndex{};
    IndexParser parser(out);
    size_t lineNumber = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        LineReader r(line);
        if (r.atEnd() || r.eat('#')) continue;
        if (std::string problem = parser.line(r); !problem.empty()) {
            error = lineError(lineNumber, problem);
            return false;
        }
    }
    if (!parser.anyStream()) {
        error = "no subtitle stream (no \"id: xx, index: N\" line)";
        return false;
    }
    for (VobSubStream& s : out.streams)
        std::stable_sort(
            s.entries.begin(), s.entries.end(),
            [](const VobSubEntry& a, const VobSubEntry& b) { return a.filePos < b.filePos; });
    return true;
}

bool isVobSubFileName(std::string_view name) {
    return wildcardMatchIgnoreCase("*.idx", name) || wildcardMatchIgnoreCase("*.sub", name);
}

namespace {

// The file of `folder` named `name` without regard to case, preferring the
// exact spelling.
std::optional<std::filesystem::path> findIgnoringCase(const std::filesystem::path& folder,
                                                      const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(folder / name, ec)) return folder / name;
    std::optional<std::filesystem::path> found;
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string other = it->path().filename().string();
        if (equalsIgnoreCase(other, name) && it->is_regular_file(ec) &&
            (!found || other < found->filename().string()))
            found = it->path();
    }
    return found;
}

std::string partnerName(const std::string& name) {
    const bool idx = wildcardMatchIgnoreCase("*.idx", name);
    return name.substr(0, name.size() - 4) + (idx ? ".sub" : ".idx");
}

} // namespace

std::optional<std::filesystem::path> findVobSubPartner(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (!isVobSubFileName(name)) return std::nullopt;
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    auto found = findIgnoringCase(folder, partnerName(name));
    // A folder made "./x.sub" of a bare name: give it back as it was asked.
    if (found && path.parent_path().empty()) found = found->filename();
    return found;
}

bool loadVobSubPair(const std::filesystem::path& path, VobSubPair& out, std::string& error) {
    const std::string name = path.filename().string();
    if (!isVobSubFileName(name)) {
        error = path.string() + " is not a VobSub file (.idx or .sub)";
        return false;
    }
    const bool givenIdx = wildcardMatchIgnoreCase("*.idx", name);
    auto partner = findVobSubPartner(path);
    if (!partner) {
        error = "VobSub " + path.string() + ": no " + partnerName(name) + " beside it";
        return false;
    }
    out = VobSubPair{};
    out.idx = givenIdx ? path : *partner;
    out.sub = givenIdx ? *partner : path;
    auto text = readWholeFile(out.idx, kMaxIndexBytes);
    if (!text) {
        error = text.error;
        return false;
    }
    auto index = std::make_shared<VobSubIndex>();
    std::string parseError;
    if (!parseVobSubIndex(*text, *index, parseError)) {
        error = "VobSub index " + out.idx.string() + " is damaged, " + parseError;
        return false;
    }
    out.index = std::move(index);
    return true;
}

} // namespace mirtal
