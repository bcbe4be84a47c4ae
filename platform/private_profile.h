#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvo {

// Reader and writer of "ini" settings files with the semantics the program
// relies on: section and key names match case-insensitively, an absent file,
// section or key yields the default, integers are read like atoi (leading
// white space, optional sign, leading digits) and written with "%d". A write
// keeps every other line (other sections, other keys, comments) untouched and
// replaces the file atomically, so a crash or a full disk during a write
// leaves the previous file whole. No operation throws.
//
// Files are UTF-8 (an optional byte-order mark is skipped) or UTF-16 with a
// byte-order mark, little or big endian; a write keeps the file's encoding.
// A file that is neither (NUL bytes without a UTF-16 mark, broken UTF-16),
// is larger than 4 MiB, or has no owner write permission (the read-only
// attribute, respected even for root) is never written: reads of it give the
// defaults (read-only: its values) and writes return false.
class PrivateProfile {
public:
    explicit PrivateProfile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // At most max_chars characters (code points) of the value are returned,
    // like the platform's fixed-size buffer (0 = unlimited).
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view default_value, size_t max_chars = 0) const;
    int GetInt(std::string_view section, std::string_view key, int default_value) const;

    // Returns true when the file now holds the value. A section or key that is
    // empty or could not be read back as written (line breaks, NUL, "=" in a
    // key, "]" in a section), and a value with a line break or NUL, are
    // refused: written as they are they would inject lines into the file.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);

private:
    bool Lookup(std::string_view section, std::string_view key, std::string* value) const;

    std::filesystem::path path_;
};

// atoi-like parse used for stored integers: leading blanks, sign, digits;
// anything else ends the number; no digits gives 0; overflow saturates.
int ParseProfileInt(std::string_view text);

}  // namespace orvo
