#include "config/catalog.hpp"

#include <map>
#include <string_view>
#include <utility>

namespace quillon {

extern const char* const kCatalogText;  // res/catalog.txt, compiled in

namespace {

std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[i + 1];
            if (c == 'n') { out += '\n'; ++i; continue; }
            if (c == 't') { out += '\t'; ++i; continue; }
            if (c == '\\') { out += '\\'; ++i; continue; }
        }
        out += s[i];
    }
    return out;
}

using Table = std::map<int, std::pair<std::string, std::string>>;

Table ParseCatalog() {
    Table table;
    std::string_view all(kCatalogText);
    while (!all.empty()) {
        std::size_t eol = all.find('\n');
        std::string_view line = all.substr(0, eol);
        all = eol == std::string_view::npos ? std::string_view() : all.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        std::size_t t1 = line.find('\t');
        if (t1 == std::string_view::npos) continue;
        std::size_t t2 = line.find('\t', t1 + 1);
        if (t2 == std::string_view::npos) continue;
        int id = 0;
        for (char c : line.substr(0, t1)) {
            if (c < '0' || c > '9') { id = -1; break; }
            id = id * 10 + (c - '0');
        }
        if (id <= 0) continue;
        table[id] = {Unescape(line.substr(t1 + 1, t2 - t1 - 1)), Unescape(line.substr(t2 + 1))};
    }
    return table;
}

const Table& Catalog() {
    static const Table table = ParseCatalog();
    return table;
}

}  // namespace

std::string CatalogText(Language language, int id) {
    const Table& table = Catalog();
    auto it = table.find(id);
    if (it == table.end()) return {};
    return language == Language::Japanese ? it->second.second : it->second.first;
}

std::string WithoutDoubledAmpersands(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') ++i;
    }
    return out;
}

std::string StepText(Language language, int id, bool fullOperation) {
    std::string text = CatalogText(language, id);
    return fullOperation ? "Full Operation - " + text : text;
}

}  // namespace quillon
