#include "settings/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <system_error>

namespace mirtal {

namespace {

std::string fold(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Keys and section names are ours and never hold line breaks; values may
// come from anywhere (a path, a caption).
std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

} // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    ini.m_sections.push_back({});
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        // CR LF, LF or a lone CR end a line.
        pos = end;
        if (pos < text.size() && text[pos] == '\r') {
            ++pos;
            if (pos < text.size() && text[pos] == '\n') ++pos;
        } else if (pos < text.size()) {
            ++pos;
        }

        std::string_view t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            size_t close = t.find(']');
            if (close != std::string_view::npos) {
                Section s;
                s.hasHeader = true;
                s.name = std::string(trim(t.substr(1, close - 1)));
                s.lines.push_back({std::string(raw), {}, 0});
                ini.m_sectionIndex.try_emplace(fold(s.name), ini.m_sections.size());
                ini.m_sections.push_back(std::move(s));
                continue;
            }
        }
        ini.addLine(ini.m_sections.back(), std::string(raw));
    }
    return ini;
}

void IniFile::addLine(Section& s, std::string raw) {
    Line line{std::move(raw), {}, 0};
    std::string_view t = trim(line.raw);
    size_t eq = line.raw.find('=');
    if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string::npos) {
        std::string_view key = trim(std::string_view(line.raw).substr(0, eq));
        if (!key.empty()) {
            line.key = std::string(key);
            line.valuePos = eq + 1;
            s.keyIndex.try_emplace(fold(key), s.lines.size());
        }
    }
    s.lines.push_back(std::move(line));
}

Result IniFile::load(const fs::path& path) {
    *this = IniFile();
    std::error_code ec;
    if (!fs::exists(path, ec) && !ec) return {};
    auto bytes = readWholeFile(path, kMaxFileBytes);
    if (!bytes) return Result::failure(bytes.error);
    // Text never holds these; a file that does is something else altogether,
    // and taking its bytes for keys could only do harm.
    constexpr std::string_view kTextControls = "\t\n\v\f\r\x1A\x1B";
    const bool binary = std::any_of(bytes->begin(), bytes->end(), [&](char c) {
        return (unsigned char)c < 0x20 && kTextControls.find(c) == std::string_view::npos;
    });
    if (binary)
        return Result::failure("Cannot read " + path.string() +
                               ": not an INI text file (it holds binary data)");
    *this = parse(*bytes);
    return {};
}

std::string IniFile::text() const {
    std::string out;
    for (const Section& s : m_sections)
        for (const Line& l : s.lines) {
            out += l.raw;
            out += "\r\n";
        }
    return out;
}

Result IniFile::save(const fs::path& path) const {
    const fs::path folder = path.parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) return Result::failure("Cannot write " + path.string() + ": " + ec.message());
    }
    return writeFileAtomic(path, text());
}

const IniFile::Line* IniFile::findLine(std::string_view section, std::string_view key) const {
    auto si = m_sectionIndex.find(fold(section));
    if (si == m_sectionIndex.end()) return nullptr;
    const Section& s = m_sections[si->second];
    auto ki = s.keyIndex.find(fold(key));
    return ki == s.keyIndex.end() ? nullptr : &s.lines[ki->second];
}

bool IniFile::hasSection(std::string_view section) const {
    return m_sectionIndex.count(fold(section)) != 0;
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return findLine(section, key) != nullptr;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const Line* l = findLine(section, key);
    if (!l) return std::nullopt;
    return l->raw.substr(l->valuePos);
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                const std::string& fallback) const {
    auto v = value(section, key);
    return v ? *v : fallback;
}

int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                             int32_t fallback) const {
    const Line* l = findLine(section, key);
    if (!l) return fallback;
    const std::optional<int64_t> n = parseInteger(std::string_view(l->raw).substr(l->valuePos));
    if (!n || *n < INT32_MIN || *n > INT32_MAX) return fallback;
    return int32_t(*n);
}

std::optional<int64_t> IniFile::parseInteger(std::string_view value) {
    std::string_view v = trim(value);
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    int64_t n = 0;
    auto [end, err] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (err != std::errc() || end != v.data() + v.size() || v.empty()) return std::nullopt;
    return n;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

IniFile::Section& IniFile::sectionForWrite(std::string_view section) {
    if (m_sections.empty()) m_sections.push_back({});
    auto si = m_sectionIndex.find(fold(section));
    if (si != m_sectionIndex.end()) return m_sections[si->second];

    // A blank line between the last section and the new one, for people
    // reading the file.
    Section& last = m_sections.back();
    if (!last.lines.empty() && !trim(last.lines.back().raw).empty()) last.lines.push_back({});
    Section s;
    s.hasHeader = true;
    s.name = oneLine(section);
    s.lines.push_back({"[" + s.name + "]", {}, 0});
    m_sectionIndex.emplace(fold(section), m_sections.size());
    m_sections.push_back(std::move(s));
    return m_sections.back();
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = sectionForWrite(section);
    const std::string k = oneLine(trim(key));
    std::string raw = k + "=" + oneLine(value);
    auto ki = s.keyIndex.find(fold(k));
    if (ki != s.keyIndex.end()) {
        Line& l = s.lines[ki->second];
        // Keep the name as the file spells it.
        l.raw = l.key + "=" + oneLine(value);
        l.valuePos = l.key.size() + 1;
        return;
    }
    // After the section's last key, so that blank lines and comments that
    // close the section stay at its end.
    size_t at = s.lines.size();
    while (at > 1 && s.lines[at - 1].key.empty()) --at;
    for (auto& [name, index] : s.keyIndex)
        if (index >= at) ++index;
    s.lines.insert(s.lines.begin() + std::ptrdiff_t(at), Line{std::move(raw), k, k.size() + 1});
    s.keyIndex.emplace(fold(k), at);
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int32_t value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> out;
    for (const Section& s : m_sections)
        if (s.hasHeader) out.push_back(s.name);
    return out;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const {
    std::vector<std::string> out;
    auto si = m_sectionIndex.find(fold(section));
    if (si == m_sectionIndex.end()) return out;
    for (const Line& l : m_sections[si->second].lines)
        if (!l.key.empty()) out.push_back(l.key);
    return out;
}

} // namespace mirtal
