#include "gui/dialog_template.hpp"

#include <algorithm>
#include <charconv>

namespace quillon::gui {

namespace {

constexpr std::string_view kKinds[] = {"label", "button", "combo", "edit",
                                       "check", "radio",  "group", "progress"};
constexpr std::string_view kWindowKinds[] = {"main", "popup", "modeless", "child", "part"};
constexpr std::string_view kFlags[] = {
    "plain",    "center", "topleft", "sunken",        "wordwrap", "readonly",   "lower",
    "bold",     "noautodefault",     "default",       "notext",   "selectable", "editable",
    "icon",     "bitmap"};

template <std::size_t N>
bool OneOf(const std::string_view (&list)[N], std::string_view word) {
    return std::find(std::begin(list), std::end(list), word) != std::end(list);
}

std::string Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

// Splits a line at the commas outside double quotes; false when a quote is
// left open.
bool SplitFields(std::string_view line, std::vector<std::string>& fields) {
    std::string field;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            fields.push_back(Trim(field));
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(Trim(field));
    return !quoted;
}

// A caption is quoted, with a quote inside it doubled.
bool Unquote(const std::string& field, std::string& text) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"') return false;
    const std::string_view inner(field.data() + 1, field.size() - 2);
    text.clear();
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '"') {
            if (i + 1 >= inner.size() || inner[i + 1] != '"') return false;
            ++i;
        }
        text += inner[i];
    }
    return true;
}

bool ToInt(const std::string& s, int& value) {
    const char* end = s.data() + s.size();
    const auto r = std::from_chars(s.data(), end, value);
    return r.ec == std::errc() && r.ptr == end && !s.empty();
}

bool KnownFlag(const std::string& flag) {
    if (OneOf(kFlags, flag)) return true;
    if (flag.starts_with("buddy=")) return flag.size() > 6;
    if (flag.starts_with("maxlength=")) {
        int n = 0;
        return ToInt(flag.substr(10), n) && n > 0;
    }
    return false;
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> words;
    std::string word;
    for (char c : s + ' ') {
        if (c != ' ') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

// Why a number field cannot be used, or an empty text when it can.
std::string Number(const std::string& field, const char* what, int& value) {
    if (ToInt(field, value) && value >= 0) return {};
    return std::string(what) + " \"" + field + "\" is not a number of dialog units";
}

std::string ParseHeader(const std::vector<std::string>& f, DialogTemplate& t) {
    if (f.size() != 5) {
        return std::to_string(f.size()) +
               " fields where 5 belong (dialog, width, height, \"caption\", kind)";
    }
    if (std::string why = Number(f[1], "width", t.width); !why.empty()) return why;
    if (std::string why = Number(f[2], "height", t.height); !why.empty()) return why;
    if (!Unquote(f[3], t.caption)) return "the caption " + f[3] + " is not a quoted text";
    if (!OneOf(kWindowKinds, f[4])) return "unknown window kind \"" + f[4] + "\"";
    t.kind = f[4];
    return {};
}

std::string ParseControl(const std::vector<std::string>& f, TemplateControl& c) {
    if (f.size() != 8 && f.size() != 9) {
        return std::to_string(f.size()) +
               " fields where 8 or 9 belong (kind, id, name, x, y, width, height, \"caption\", "
               "flags)";
    }
    c.kind = f[0];
    if (!OneOf(kKinds, c.kind)) return "unknown kind \"" + c.kind + "\"";
    if (!ToInt(f[1], c.id) || c.id < -1) return "id \"" + f[1] + "\" is not a control id";
    if (f[2].empty()) return "the name is empty (\"-\" for none)";
    c.name = f[2] == "-" ? std::string() : f[2];
    int* place[] = {&c.x, &c.y, &c.width, &c.height};
    const char* what[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        if (std::string why = Number(f[3 + i], what[i], *place[i]); !why.empty()) return why;
    }
    if (!Unquote(f[7], c.caption)) return "the caption " + f[7] + " is not a quoted text";
    c.flags = f.size() == 9 ? Words(f[8]) : std::vector<std::string>();
    for (const std::string& flag : c.flags) {
        if (!KnownFlag(flag)) return "unknown flag \"" + flag + "\"";
    }
    return {};
}

}  // namespace

bool TemplateControl::Has(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string TemplateControl::Value(std::string_view key) const {
    for (const std::string& flag : flags) {
        if (flag.size() > key.size() && flag.starts_with(key) && flag[key.size()] == '=') {
            return flag.substr(key.size() + 1);
        }
    }
    return {};
}

DialogTemplate ParseDialogTemplate(std::string_view text, std::string_view fileName) {
    DialogTemplate t;
    int lineNumber = 0;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;
        std::vector<std::string> fields;
        std::string problem;
        TemplateControl c;
        c.line = lineNumber;
        if (!SplitFields(line, fields)) {
            problem = "a quote is not closed";
        } else if (fields[0] == "dialog") {
            problem = first ? ParseHeader(fields, t) : "the dialog line is not the first";
        } else {
            problem = ParseControl(fields, c);
        }
        first = false;
        if (!problem.empty()) {
            DialogTemplate failed;
            failed.error =
                std::string(fileName) + " line " + std::to_string(lineNumber) + ": " + problem;
            return failed;
        }
        if (fields[0] != "dialog") t.controls.push_back(std::move(c));
    }
    return t;
}

int DialogUnitScale::MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace quillon::gui
