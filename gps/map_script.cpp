#include "gps/map_script.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "metadata/telemetry.h"

namespace orvo {

namespace {

// Words that cannot stand as the called name: "if(1)" is not a call.
constexpr std::array<std::string_view, 46> kReservedWords = {
    "await",     "break",  "case",     "catch",  "class",      "const",   "continue",  "debugger",
    "default",   "delete", "do",       "else",   "enum",       "export",  "extends",   "false",
    "finally",   "for",    "function", "if",     "implements", "import",  "in",        "instanceof",
    "interface", "let",    "new",      "null",   "package",    "private", "protected", "public",
    "return",    "static", "super",    "switch", "this",       "throw",   "true",      "try",
    "typeof",    "var",    "void",     "while",  "with",       "yield"};

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
    std::string joined;
    auto close_joined = [&] {
        if (!joined.empty()) out.push_back(std::move(joined));
        joined.clear();
    };
    for (const std::string& text : texts) {
        if (!IsPlainScriptCall(text)) {
            close_joined();
            out.push_back(text);
            continue;
        }
        joined += "try{";
        joined += text;
        joined += "}catch(e){}\n";
        if (joined.size() >= max_chars) close_joined();
    }
    close_joined();
    return out;
}

}  // namespace orvo
