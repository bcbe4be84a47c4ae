#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/private_profile.h"

namespace orvo {

struct LanguageEntry {
    const char* code;          // "ENG", "JPN"
    const char* display_name;  // UTF-8
    int primary_language;
    int sublanguage;
};

inline constexpr int kLanguageCount = 2;
extern const LanguageEntry kLanguageTable[kLanguageCount];

// Language identifier of a table row: sublanguage << 10 | primary language.
constexpr uint16_t LanguageIdOf(const LanguageEntry& entry) {
    return static_cast<uint16_t>((entry.sublanguage << 10) | entry.primary_language);
}

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const WindowRect&) const = default;
};

struct WindowPosition {
    WindowRect rect;
    bool work_area = false;  // "MAXSCREEN" == 1
};

// Smallest window the stored position is raised to, in pixels.
inline constexpr int kMinWindowWidth = 1000;
inline constexpr int kMinWindowHeight = 680;

// Stored values of "WINPOS" turned into the window's rectangle for a usable
// screen size; pure so the clamping rules can be tested with any size.
WindowPosition ComputeWindowPosition(int stored_maxscreen, WindowRect stored, int usable_width,
                                     int usable_height);

// Map tiles when no MBTiles file is chosen: OpenStreetMap's standard layer.
inline constexpr char kDefaultMapTileUrl[] = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
inline constexpr char kDefaultMapAttribution[] = "&copy; OpenStreetMap contributors";

// True for an online tile address template the map can use: http or https,
// with the three placeholders {z}, {x} and {y}.
bool IsUsableTileUrl(const std::string& url_template);

// The process-wide settings object: the settings file "Qor.ini" in the working
// directory at first use and the current interface language. Failures to
// read or write the file are never reported: reads give the defaults.
class CQorSettings {
public:
    static CQorSettings& Instance();

    // For tests and tools: a settings object on any file. Reads the language.
    explicit CQorSettings(std::filesystem::path ini_path);

    const std::filesystem::path& path() const { return profile_.path(); }
    int language_index() const { return language_index_; }
    uint16_t language_id() const { return language_id_; }
    int map_provider() const { return map_provider_; }

    void ReadLanguage();
    bool SetLanguage(int index);
    std::string ReadFolder() const;
    // A folder that does not exist is stored as empty.
    void WriteFolder(const std::string& folder);
    // "UI"/"MAP_TILES": the MBTiles file the map takes its tiles from; empty
    // (online tiles) when absent or when the file no longer exists.
    std::string ReadMapTiles() const;
    bool WriteMapTiles(const std::string& path);
    // "UI"/"MAP_TILE_URL" and "UI"/"MAP_ATTRIBUTION": the online tiles.
    // An absent, empty or unusable template gives the default one; an
    // absent attribution the default one.
    std::string ReadMapTileUrl() const;
    std::string ReadMapAttribution() const;
    int ReadMap();  // always 0 after the clamp; also stored in map_provider()
    int ReadInt(const char* section, const char* key, int default_value) const;
    bool WriteInt(const char* section, const char* key, int value);
    WindowPosition ReadWindowPosition(int usable_width, int usable_height) const;
    void WriteWindowPosition(const WindowRect& rect, bool work_area);

    static const char* CodeOf(int index);                       // nullptr when out of range
    static const char* DisplayNameOf(const std::string& code);  // nullptr when unknown

private:
    PrivateProfile profile_;
    int language_index_ = 1;
    uint16_t language_id_ = 0x0411;
    int map_provider_ = 0;
};

}  // namespace orvo
