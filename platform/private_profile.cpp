#include "platform/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>
#include <vector>

namespace orvo {
namespace {

// Larger files are not settings files: every read of a key reads the whole
// file again (about ten reads at start-up, one write per pane button), so a
// 50 MB file would cost seconds of I/O per click. Such a file is neither
// read (defaults apply) nor rewritten; the program's own keys need under
// 2 KB. A write that would grow a file past the limit is refused too.
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

// The encodings a settings file is read in and written back in. A file is
// always rewritten in the encoding it was read in, so no write can leave it
// half in one encoding and half in another.
enum class TextEncoding { kUtf8, kUtf16Le, kUtf16Be };

struct ProfileText {
    std::vector<std::string> lines;  // UTF-8, without "\n"
    TextEncoding encoding = TextEncoding::kUtf8;
};

void AppendUtf8(uint32_t code, std::string* out) {
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// UTF-16 bytes after the byte-order mark to UTF-8; false for an odd length or
// an unpaired surrogate (such a file is left alone rather than guessed at).
bool DecodeUtf16(std::string_view bytes, bool big_endian, std::string* out) {
    if (bytes.size() % 2 != 0) return false;
    auto unit = [&](size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<uint32_t>(big_endian ? (a << 8) | b : (b << 8) | a);
    };
    for (size_t i = 0; i < bytes.size(); i += 2) {
        uint32_t code = unit(i);
        if (code >= 0xDC00 && code <= 0xDFFF) return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return false;
            const uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(code, out);
    }
    return true;
}

// Next code point of UTF-8 text; an invalid byte is taken as U+FFFD.
uint32_t NextCodePoint(std::string_view text, size_t* i) {
    const auto lead = static_cast<unsigned char>(text[*i]);
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 0;
    if (length == 0 || *i + length > text.size()) {
        ++*i;
        return 0xFFFD;
    }
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[*i + k]);
        if ((c & 0xC0) != 0x80) {
            ++*i;
            return 0xFFFD;
        }
        code = (code << 6) | (c & 0x3F);
    }
    *i += length;
    return code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ? 0xFFFD : code;
}

std::string EncodeUtf16(std::string_view text, bool big_endian) {
    std::string out;
    auto put = [&](uint32_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out.push_back(big_endian ? high : low);
        out.push_back(big_endian ? low : high);
    };
    put(0xFEFF);
    for (size_t i = 0; i < text.size();) {
        const uint32_t code = NextCodePoint(text, &i);
        if (code >= 0x10000) {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            put(code);
        }
    }
    return out;
}

ReadResult ReadLines(const std::filesystem::path& path, ProfileText* text) {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return ReadResult::kMissing;
    if (ec || status.type() != std::filesystem::file_type::regular) return ReadResult::kFailed;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes) return ReadResult::kFailed;
    std::ifstream in(path, std::ios::binary);
    if (!in) return ReadResult::kFailed;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.size() > kMaxFileBytes) return ReadResult::kFailed;

    std::string utf8;
    const std::string_view view(bytes);
    if (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF")) {
        const bool big_endian = view[0] == '\xFE';
        text->encoding = big_endian ? TextEncoding::kUtf16Be : TextEncoding::kUtf16Le;
        if (!DecodeUtf16(view.substr(2), big_endian, &utf8)) return ReadResult::kFailed;
    } else {
        // NUL bytes mean UTF-16 without a byte-order mark (or not text at
        // all): writing ASCII into it would mix encodings, so leave it.
        if (view.find('\0') != std::string_view::npos) return ReadResult::kFailed;
        text->encoding = TextEncoding::kUtf8;
        utf8 = std::move(bytes);
    }
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        text->lines.push_back(utf8.substr(start, end - start));
        start = end + 1;
    }
    return ReadResult::kRead;
}

// The read-only attribute (no owner write bit) is respected even by root,
// and a file this user may not write is never replaced by a renamed copy.
bool MayReplace(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
    return (st.st_mode & S_IWUSR) != 0 && ::access(path.c_str(), W_OK) == 0;
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
        ProfileText text;
        if (ReadLines(path_, &text) != ReadResult::kRead) return false;
        bool in_section = false;
        for (const std::string& line : text.lines) {
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
        ProfileText file;
        if (ReadLines(target, &file) == ReadResult::kFailed || !MayReplace(target)) return false;
        std::vector<std::string>& lines = file.lines;

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
        if (file.encoding != TextEncoding::kUtf8) {
            text = EncodeUtf16(text, file.encoding == TextEncoding::kUtf16Be);
        }
        if (text.size() > kMaxFileBytes) return false;
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
