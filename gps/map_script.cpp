#include "gps/map_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "metadata/telemetry.h"

namespace orvo {

namespace {

// Words that cannot stand as the called name: "if(1)" is not a call, and
// the joined form (JoinScripts) needs "globalThis", "arguments" and "eval"
// for itself.
constexpr std::array<std::string_view, 49> kReservedWords = {
    "arguments", "eval",   "globalThis", "await",    "break",   "case",       "catch",
    "class",     "const",  "continue",   "debugger", "default", "delete",     "do",
    "else",      "enum",   "export",     "extends",  "false",   "finally",    "for",
    "function",  "if",     "implements", "import",   "in",      "instanceof", "interface",
    "let",       "new",    "null",       "package",  "private", "protected",  "public",
    "return",    "static", "super",      "switch",   "this",    "throw",      "true",
    "try",       "typeof", "var",        "void",     "while",   "with",       "yield"};

bool IsIdentifierStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsIdentifierChar(char c) {
    return IsIdentifierStart(c) || IsDigit(c);
}

void SkipSpaces(std::string_view text, size_t& i) {
    while (i < text.size() && text[i] == ' ') ++i;
}

// One argument as the number formatting writes it: an optional sign, then
// digits with an optional fraction, or "nan"/"inf" (which fail at run time
// inside their own try block, as they would on their own).
bool ParseNumber(std::string_view text, size_t& i) {
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    for (std::string_view word : {std::string_view("nan"), std::string_view("inf")}) {
        if (text.substr(i, word.size()) == word) {
            i += word.size();
            return i >= text.size() || !IsIdentifierChar(text[i]);
        }
    }
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    return digits > 0;
}

std::string TwoArgumentCall(std::string_view name, double a, double b, std::string_view separator) {
    std::string text(name);
    text += '(';
    text += FormatScriptNumber(a);
    text += separator;
    text += FormatScriptNumber(b);
    text += ')';
    return text;
}

}  // namespace

std::string FormatScriptNumber(double value) {
    // std::to_chars never looks at the locale. The largest double written
    // with six decimals takes 316 characters.
    std::array<char, 400> buffer{};
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed, 6);
    return std::string(buffer.data(), result.ptr);
}

std::string MovPosScript(double latitude, double longitude) {
    return TwoArgumentCall("movpos", latitude, longitude, ", ");
}

std::string PathPlotScript(double latitude, double longitude) {
    return TwoArgumentCall("path_plot", latitude, longitude, ",");
}

std::string PathDrivedPlotScript(double latitude, double longitude) {
    return TwoArgumentCall("pathdrived_plot", latitude, longitude, ",");
}

std::string TripPlotScript(double latitude, double longitude) {
    return TwoArgumentCall("trip_plot", latitude, longitude, ",");
}

MapPosition MarkerPosition(int map_choice, double latitude, double longitude) {
    if (map_choice == kMapChoiceRaw) return {latitude, longitude};
    return {NmeaToDegrees(latitude), NmeaToDegrees(longitude)};
}

std::string MoveMarkerScript(int map_choice, double latitude, double longitude) {
    const MapPosition p = MarkerPosition(map_choice, latitude, longitude);
    return MovPosScript(p.latitude, p.longitude);
}

bool IsPlainScriptCall(std::string_view text) {
    size_t i = 0;
    if (text.empty() || !IsIdentifierStart(text[0])) return false;
    while (i < text.size() && IsIdentifierChar(text[i])) ++i;
    const std::string_view name = text.substr(0, i);
    if (std::find(kReservedWords.begin(), kReservedWords.end(), name) != kReservedWords.end()) {
        return false;
    }
    if (i >= text.size() || text[i] != '(') return false;
    ++i;
    SkipSpaces(text, i);
    if (i < text.size() && text[i] == ')') return i + 1 == text.size();
    for (;;) {
        SkipSpaces(text, i);
        if (!ParseNumber(text, i)) return false;
        SkipSpaces(text, i);
        if (i >= text.size()) return false;
        if (text[i] == ')') return i + 1 == text.size();
        if (text[i] != ',') return false;
        ++i;
    }
}

std::vector<std::string> JoinScripts(const std::vector<std::string>& texts, size_t max_chars) {
    std::vector<std::string> out;
    std::vector<std::string_view> names;  // called names of the open run, first use order
    std::string body;
    auto close_run = [&] {
        if (body.empty()) return;
        // Inside the function each called name is a guard that calls the
        // page's global function of that name in its own try block: the
        // texts stay as they are, and a failing call does not stop the
        // next. (Thousands of try blocks at the top level would cost the
        // page several times more to compile.)
        std::string joined = "(function(){\n";
        for (std::string_view name : names) {
            joined += "var ";
            joined += name;
            joined += "=function(){try{return globalThis.";
            joined += name;
            joined += ".apply(null,arguments)}catch(e){}};\n";
        }
        joined += body;
        joined += "})();";
        out.push_back(std::move(joined));
        body.clear();
        names.clear();
    };
    for (const std::string& text : texts) {
        if (!IsPlainScriptCall(text)) {
            close_run();
            out.push_back(text);
            continue;
        }
        const std::string_view name = std::string_view(text).substr(0, text.find('('));
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        body += text;
        body += ";\n";
        if (body.size() >= max_chars) close_run();
    }
    close_run();
    return out;
}

}  // namespace orvo
