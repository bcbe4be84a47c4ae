#include "platform/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace orvo {
namespace {

// Larger files are not settings files; refusing them keeps a stray huge file
// from being read into memory.
constexpr std::uintmax_t kMaxFileBytes = 4 * 1024 * 1024;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x < 0x80) x = static_cast<unsigned char>(std::tolower(x));
        if (y < 0x80) y = static_cast<unsigned char>(std::tolower(y));
        if (x != y) return false;
    }
    return true;
}

// Section name of a "[name]" line, or nullopt-like empty flag.
bool SectionOf(std::string_view line, std::string_view* name) {
    std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// Key of a "key=value" line; comments (";") and lines without "=" have none.
bool KeyOf(std::string_view line, std::string_view* key, std::string_view* value) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') return false;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    return true;
}

bool ReadLines(const std::filesystem::path& path, std::vector<std::string>* lines) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) lines->push_back(line);
    return true;
}

// Removes surrounding double quotes, as the platform does for quoted values.
std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 &&
        ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        return v.substr(1, v.size() - 2);
    return v;
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::path tmp = path;
    tmp += ".tmp-XXXXXX";
    std::string tmpl = tmp.string();
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    // Keep the usual permissions of a user file rather than mkstemp's 0600.
    if (ok) ::chmod(tmpl.c_str(), 0644);
    if (ok && std::rename(tmpl.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) ::unlink(tmpl.c_str());
    return ok;
}

}  // namespace

int ParseProfileInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

PrivateProfile::PrivateProfile(std::filesystem::path path) : path_(std::move(path)) {}

std::string PrivateProfile::GetString(std::string_view section, std::string_view key,
                                      std::string_view default_value, size_t max_chars) const {
    std::string result(default_value);
    std::vector<std::string> lines;
    try {
        if (ReadLines(path_, &lines)) {
            bool in_section = false;
            for (const std::string& line : lines) {
                std::string_view name, k, v;
                if (SectionOf(line, &name)) {
                    in_section = EqualsNoCase(name, section);
                } else if (in_section && KeyOf(line, &k, &v) && EqualsNoCase(k, key)) {
                    result = std::string(Unquote(v));
                    break;
                }
            }
        }
    } catch (...) {
        result = std::string(default_value);
    }
    if (max_chars != 0 && result.size() > max_chars) result.resize(max_chars);
    return result;
}

int PrivateProfile::GetInt(std::string_view section, std::string_view key,
                           int default_value) const {
    std::string sentinel = "\x01";
    std::string text = GetString(section, key, sentinel);
    if (text == sentinel) return default_value;
    return ParseProfileInt(text);
}

bool PrivateProfile::WriteString(std::string_view section, std::string_view key,
                                 std::string_view value) {
    try {
        std::vector<std::string> lines;
        std::error_code ec;
        if (std::filesystem::exists(path_, ec) && !ReadLines(path_, &lines)) return false;

        std::string new_line = std::string(key) + "=" + std::string(value);
        bool in_section = false;
        bool done = false;
        size_t section_end = lines.size();  // insertion point inside the section
        bool section_found = false;
        for (size_t i = 0; i < lines.size() && !done; ++i) {
            std::string_view name, k, v;
            if (SectionOf(lines[i], &name)) {
                if (in_section) break;
                in_section = EqualsNoCase(name, section);
                if (in_section) {
                    section_found = true;
                    section_end = i + 1;
                }
            } else if (in_section) {
                if (KeyOf(lines[i], &k, &v) && EqualsNoCase(k, key)) {
                    lines[i] = new_line;
                    done = true;
                } else if (!Trim(lines[i]).empty()) {
                    section_end = i + 1;
                }
            }
        }
        if (!done) {
            if (section_found) {
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(section_end), new_line);
            } else {
                lines.push_back("[" + std::string(section) + "]");
                lines.push_back(new_line);
            }
        }
        std::ostringstream out;
        for (const std::string& line : lines) out << line << '\n';
        return WriteFileAtomically(path_, out.str());
    } catch (...) {
        return false;
    }
}

bool PrivateProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", value);
    return WriteString(section, key, buf);
}

}  // namespace orvo
