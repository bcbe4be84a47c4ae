#include "platform/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

namespace orvo {
namespace {

// Larger files are not settings files; refusing them keeps a stray huge file
// from being read into memory, and a write never truncates one.
constexpr std::uintmax_t kMaxFileBytes = 4 * 1024 * 1024;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    if (s.substr(0, kUtf8Bom.size()) == kUtf8Bom) s.remove_prefix(kUtf8Bom.size());
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// Name of a "[name]" line; false for any other line.
bool SectionOf(std::string_view line, std::string_view* name) {
    std::string_view t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// Key and value of a "key=value" line; comments (";") and lines without "="
// have none.
bool KeyOf(std::string_view line, std::string_view* key, std::string_view* value) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') return false;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    return true;
}

// Removes surrounding quotes, as the platform does for quoted values.
std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 &&
        ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
        return v.substr(1, v.size() - 2);
    return v;
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Cuts text to at most max_chars UTF-8 code points without splitting one.
void TruncateChars(std::string* text, size_t max_chars) {
    size_t chars = 0;
    for (size_t i = 0; i < text->size(); ++i) {
        bool starts_char = (static_cast<unsigned char>((*text)[i]) & 0xC0) != 0x80;
        if (starts_char && ++chars > max_chars) {
            text->resize(i);
            return;
        }
    }
}

// The file the name leads to: a symbolic link is followed so that a write
// replaces its target, not the link.
std::filesystem::path ResolveTarget(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target;
}

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadLines(const std::filesystem::path& path, std::vector<std::string>* lines) {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return ReadResult::kMissing;
    if (ec || status.type() != std::filesystem::file_type::regular) return ReadResult::kFailed;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes) return ReadResult::kFailed;
    std::ifstream in(path, std::ios::binary);
    if (!in) return ReadResult::kFailed;
    std::string line;
    while (std::getline(in, line)) lines->push_back(line);
    if (in.bad()) return ReadResult::kFailed;
    return ReadResult::kRead;
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Writes the text to a temporary file beside the target and renames it over
// the target; on any failure the temporary file is removed and the target is
// left as it was.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view text) {
    std::string tmpl = path.string() + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    // Keep the mode of the file being replaced; a new file gets the usual mode
    // of a user file rather than mkstemp's 0600.
    struct stat old_stat {};
    mode_t mode = ::stat(path.c_str(), &old_stat) == 0 ? (old_stat.st_mode & 07777) : 0644;
    bool ok = WriteAll(fd, text);
    if (ok && ::fchmod(fd, mode) != 0) ok = false;
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(tmpl.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    // Make the rename itself durable; its failure does not undo the write.
    std::filesystem::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    int dir_fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd >= 0) {
        ::fsync(dir_fd);
        ::close(dir_fd);
    }
    return true;
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

bool PrivateProfile::Lookup(std::string_view section, std::string_view key,
                            std::string* value) const {
    try {
        std::vector<std::string> lines;
        if (ReadLines(path_, &lines) != ReadResult::kRead) return false;
        bool in_section = false;
        for (const std::string& line : lines) {
            std::string_view name, k, v;
            if (SectionOf(line, &name)) {
                in_section = EqualsNoCase(name, section);
            } else if (in_section && KeyOf(line, &k, &v) && EqualsNoCase(k, key)) {
                *value = std::string(Unquote(v));
                return true;
            }
        }
    } catch (...) {
        // Out of memory or a stream failure: the value counts as absent.
    }
    return false;
}

std::string PrivateProfile::GetString(std::string_view section, std::string_view key,
                                      std::string_view default_value, size_t max_chars) const {
    try {
        std::string result;
        if (!Lookup(section, key, &result)) result = std::string(default_value);
        if (max_chars != 0) TruncateChars(&result, max_chars);
        return result;
    } catch (...) {
        return {};
    }
}

int PrivateProfile::GetInt(std::string_view section, std::string_view key,
                           int default_value) const {
    try {
        std::string text;
        if (!Lookup(section, key, &text)) return default_value;
        return ParseProfileInt(text);
    } catch (...) {
        return default_value;
    }
}

bool PrivateProfile::WriteString(std::string_view section, std::string_view key,
                                 std::string_view value) {
    if (section.empty() || key.empty() || HasLineBreakOrNul(section) || HasLineBreakOrNul(key) ||
        HasLineBreakOrNul(value))
        return false;
    // Names must read back as themselves: surrounding blanks are trimmed on
    // read, a "]" ends a section name, a "=" ends a key, ";" starts a comment.
    if (Trim(section) != section || section.find(']') != std::string_view::npos ||
        Trim(key) != key || key.find('=') != std::string_view::npos || key.front() == ';' ||
        key.front() == '[')
        return false;
    try {
        std::filesystem::path target = ResolveTarget(path_);
        std::vector<std::string> lines;
        if (ReadLines(target, &lines) == ReadResult::kFailed) return false;

        // New lines follow the file's own line ends.
        bool crlf = !lines.empty() && !lines.front().empty() && lines.front().back() == '\r';
        std::string eol_tail = crlf ? "\r" : "";
        std::string new_line = std::string(key) + "=" + std::string(value) + eol_tail;

        bool in_section = false;
        bool section_found = false;
        bool replaced = false;
        size_t insert_at = lines.size();  // after the section's last non-blank line
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string_view name, k, v;
            if (SectionOf(lines[i], &name)) {
                if (in_section) break;
                in_section = EqualsNoCase(name, section);
                if (in_section) {
                    section_found = true;
                    insert_at = i + 1;
                }
            } else if (in_section) {
                if (KeyOf(lines[i], &k, &v) && EqualsNoCase(k, key)) {
                    lines[i] = new_line;
                    replaced = true;
                    break;
                }
                if (!Trim(lines[i]).empty()) insert_at = i + 1;
            }
        }
        if (!replaced) {
            if (section_found) {
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at), new_line);
            } else {
                lines.push_back("[" + std::string(section) + "]" + eol_tail);
                lines.push_back(new_line);
            }
        }
        std::string text;
        for (const std::string& line : lines) {
            text += line;
            text += '\n';
        }
        return WriteFileAtomically(target, text);
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
