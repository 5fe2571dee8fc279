#include "platform/profile_file.hpp"

#include <climits>
#include <optional>

#include "platform/ascii_case.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}


// The lines of a file without their line ends (CR LF or LF). A UTF-8 byte
// order mark, as some editors put before the first line, would hide the first
// section; stray CRs before a line end (CR CR LF) would end up in values and
// multiply with each rewrite. Both are dropped.
std::vector<std::string> SplitLines(const std::string& data) {
    std::vector<std::string> lines;
    std::size_t start = data.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < data.size()) {
        std::size_t eol = data.find('\n', start);
        std::size_t end = eol == std::string::npos ? data.size() : eol;
        std::size_t cut = end;
        while (cut > start && data[cut - 1] == '\r') --cut;
        lines.emplace_back(data, start, cut - start);
        if (eol == std::string::npos) break;
        start = eol + 1;
    }
    return lines;
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    std::size_t close = line.find(']');
    if (close != std::string_view::npos) line = line.substr(0, close);
    return Trim(line);
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

// The key and value of a "key=value" line; comments (;) and lines without
// '=' hold none.
std::optional<KeyValue> KeyValueOf(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
    std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return KeyValue{Trim(trimmed.substr(0, eq)), Trim(trimmed.substr(eq + 1))};
}

std::optional<std::string> FindValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    auto data = ReadWholeFile(path);
    if (!data) return std::nullopt;
    bool inSection = false;
    bool seenSection = false;
    for (const std::string& line : SplitLines(*data)) {
        if (auto name = SectionOf(line)) {
            // Only the first section of a name counts, as with the system's reader.
            if (inSection) return std::nullopt;
            inSection = !seenSection && EqualsIgnoringCase(*name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        if (!inSection) continue;
        if (auto kv = KeyValueOf(line); kv && EqualsIgnoringCase(kv->key, key)) {
            return std::string(kv->value);
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> ProfileSectionNames(const std::string& path) {
    std::vector<std::string> names;
    auto data = ReadWholeFile(path);
    if (!data) return names;
    for (const std::string& line : SplitLines(*data)) {
        auto name = SectionOf(line);
        if (!name) continue;
        bool seen = false;
        for (const auto& n : names) seen = seen || EqualsIgnoringCase(n, *name);
        if (!seen) names.emplace_back(*name);
    }
    return names;
}

std::string ProfileString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize) {
    std::string value;
    if (auto found = FindValue(path, section, key)) {
        value = std::move(*found);
    } else {
        value = std::string(defaultValue);
    }
    std::size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
    if (value.size() > limit) value.resize(limit);
    return value;
}

int ProfileInt(const std::string& path, std::string_view section, std::string_view key,
               int defaultValue) {
    auto found = FindValue(path, section, key);
    if (!found) return defaultValue;
    std::string_view s = *found;
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    // A line break in a name or value would add lines of its own to the file
    // (a stray key, or a section that hides the rest); such a write is refused.
    for (std::string_view part : {section, key, value}) {
        if (part.find_first_of("\r\n") != std::string_view::npos) return false;
    }
    std::vector<std::string> lines;
    if (FileExists(path)) {
        auto data = ReadWholeFile(path);
        if (!data) return false;
        lines = SplitLines(*data);
    }
    const std::string entry = std::string(key) + "=" + std::string(value);

    // Find the section, the key within it, and the last non-blank line of it.
    std::optional<std::size_t> sectionLine;
    std::optional<std::size_t> keyLine;
    std::size_t lastInSection = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionOf(lines[i])) {
            if (sectionLine) break;
            if (EqualsIgnoringCase(*name, section)) {
                sectionLine = i;
                lastInSection = i;
            }
            continue;
        }
        if (!sectionLine) continue;
        if (!Trim(lines[i]).empty()) lastInSection = i;
        if (auto kv = KeyValueOf(lines[i]); kv && EqualsIgnoringCase(kv->key, key) && !keyLine) keyLine = i;
    }

    if (keyLine) {
        lines[*keyLine] = entry;
    } else if (sectionLine) {
        lines.insert(lines.begin() + static_cast<long>(lastInSection) + 1, entry);
    } else {
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(entry);
    }

    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return WriteFileAtomically(path, out);
}

}  // namespace quillon
