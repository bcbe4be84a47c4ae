#include "app/qor_settings.h"

#include <algorithm>
#include <limits>
#include <system_error>
#include <utility>

namespace orvo {

const LanguageEntry kLanguageTable[kLanguageCount] = {
    {"ENG", "English", 9, 1},
    {"JPN", "日本語", 17, 1},
};

namespace {

constexpr char kSectionUi[] = "UI";
constexpr char kSectionWinPos[] = "WINPOS";
constexpr int kJapaneseRow = 1;

// The platform read these through fixed buffers of 64 and 1024 characters.
constexpr size_t kLanguageCodeMaxChars = 63;
constexpr size_t kFolderMaxChars = 1023;
// New keys: a path as long as the file system allows, and a generous
// address template and attribution line.
constexpr size_t kMapTilesMaxChars = 4095;
constexpr size_t kMapTextMaxChars = 2047;

// Raises a stored extent to the minimum, then lowers it to the usable extent.
// A usable extent that is not positive means the screen size is unknown; the
// window then keeps the minimum instead of collapsing to nothing.
long long FitExtent(long long stored, int minimum, int usable) {
    long long extent = std::max<long long>(stored, minimum);
    if (usable > 0) extent = std::min<long long>(extent, usable);
    return extent;
}

// Clamps a stored origin into 0..(usable - extent).
long long FitOrigin(long long origin, long long extent, int usable) {
    if (usable > 0) origin = std::min(origin, usable - extent);
    return std::max<long long>(origin, 0);
}

}  // namespace

WindowPosition ComputeWindowPosition(int stored_maxscreen, WindowRect stored, int usable_width,
                                     int usable_height) {
    // 64-bit arithmetic: stored values are any int the file holds, and
    // right - left of two extreme values does not fit in an int.
    long long width = FitExtent(static_cast<long long>(stored.right) - stored.left, kMinWindowWidth,
                                usable_width);
    long long height = FitExtent(static_cast<long long>(stored.bottom) - stored.top,
                                 kMinWindowHeight, usable_height);
    long long left = FitOrigin(stored.left, width, usable_width);
    long long top = FitOrigin(stored.top, height, usable_height);

    WindowPosition position;
    position.work_area = stored_maxscreen == 1;
    // With a known usable size the results fit in an int; without one an
    // origin near INT_MAX plus the minimum extent would not.
    auto to_int = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(),
                                                      std::numeric_limits<int>::max()));
    };
    position.rect.left = to_int(left);
    position.rect.top = to_int(top);
    position.rect.right = to_int(left + width);
    position.rect.bottom = to_int(top + height);
    return position;
}

bool IsUsableTileUrl(const std::string& url_template) {
    const bool web = url_template.starts_with("https://") || url_template.starts_with("http://");
    return web && url_template.find("{z}") != std::string::npos &&
           url_template.find("{x}") != std::string::npos &&
           url_template.find("{y}") != std::string::npos;
}

CQorSettings& CQorSettings::Instance() {
    static CQorSettings instance([] {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::current_path(ec);
        // Without a current directory the file is looked up relative to
        // whatever the process later runs in, which is the best left.
        return ec ? std::filesystem::path("Qor.ini") : dir / "Qor.ini";
    }());
    return instance;
}

CQorSettings::CQorSettings(std::filesystem::path ini_path) : profile_(std::move(ini_path)) {
    ReadLanguage();
}

void CQorSettings::ReadLanguage() {
    language_index_ = kJapaneseRow;
    language_id_ = LanguageIdOf(kLanguageTable[kJapaneseRow]);
    std::string code = profile_.GetString(kSectionUi, "LANGID", "ENG", kLanguageCodeMaxChars);
    for (int i = 0; i < kLanguageCount; ++i) {
        if (code == kLanguageTable[i].code) {
            language_index_ = i;
            language_id_ = LanguageIdOf(kLanguageTable[i]);
            return;
        }
    }
}

bool CQorSettings::SetLanguage(int index) {
    if (index < 0 || index >= kLanguageCount) return false;
    language_index_ = index;
    language_id_ = LanguageIdOf(kLanguageTable[index]);
    return profile_.WriteString(kSectionUi, "LANGID", kLanguageTable[index].code);
}

std::string CQorSettings::ReadFolder() const {
    std::string folder = profile_.GetString(kSectionUi, "Folder", "", kFolderMaxChars);
    std::error_code ec;
    if (folder.empty() || !std::filesystem::exists(folder, ec)) return {};
    return folder;
}

void CQorSettings::WriteFolder(const std::string& folder) {
    std::error_code ec;
    bool exists = !folder.empty() && std::filesystem::exists(folder, ec);
    profile_.WriteString(kSectionUi, "Folder", exists ? folder : std::string());
}

std::string CQorSettings::ReadMapTiles() const {
    std::string path = profile_.GetString(kSectionUi, "MAP_TILES", "", kMapTilesMaxChars);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return {};
    return path;
}

bool CQorSettings::WriteMapTiles(const std::string& path) {
    return profile_.WriteString(kSectionUi, "MAP_TILES", path);
}

std::string CQorSettings::ReadMapTileUrl() const {
    std::string url = profile_.GetString(kSectionUi, "MAP_TILE_URL", "", kMapTextMaxChars);
    return IsUsableTileUrl(url) ? url : std::string(kDefaultMapTileUrl);
}

std::string CQorSettings::ReadMapAttribution() const {
    return profile_.GetString(kSectionUi, "MAP_ATTRIBUTION", kDefaultMapAttribution,
                              kMapTextMaxChars);
}

int CQorSettings::ReadMap() {
    // Only provider 0 exists; any stored value is clamped to the range 0..0.
    int stored = profile_.GetInt(kSectionUi, "MAP", 0);
    map_provider_ = std::clamp(stored, 0, 0);
    return map_provider_;
}

int CQorSettings::ReadInt(const char* section, const char* key, int default_value) const {
    return profile_.GetInt(section, key, default_value);
}

bool CQorSettings::WriteInt(const char* section, const char* key, int value) {
    return profile_.WriteInt(section, key, value);
}

WindowPosition CQorSettings::ReadWindowPosition(int usable_width, int usable_height) const {
    WindowRect stored;
    stored.left = profile_.GetInt(kSectionWinPos, "LEFT", 0);
    stored.top = profile_.GetInt(kSectionWinPos, "TOP", 0);
    stored.right = profile_.GetInt(kSectionWinPos, "RIGHT", kMinWindowWidth);
    stored.bottom = profile_.GetInt(kSectionWinPos, "BOTTOM", kMinWindowHeight);
    int maxscreen = profile_.GetInt(kSectionWinPos, "MAXSCREEN", 0);
    return ComputeWindowPosition(maxscreen, stored, usable_width, usable_height);
}

void CQorSettings::WriteWindowPosition(const WindowRect& rect, bool work_area) {
    if (work_area) {
        // The normal-window rectangle stays as last stored.
        profile_.WriteInt(kSectionWinPos, "MAXSCREEN", 1);
        return;
    }
    profile_.WriteInt(kSectionWinPos, "MAXSCREEN", 0);
    profile_.WriteInt(kSectionWinPos, "LEFT", rect.left);
    profile_.WriteInt(kSectionWinPos, "TOP", rect.top);
    profile_.WriteInt(kSectionWinPos, "RIGHT", rect.right);
    profile_.WriteInt(kSectionWinPos, "BOTTOM", rect.bottom);
}

const char* CQorSettings::CodeOf(int index) {
    if (index < 0 || index >= kLanguageCount) return nullptr;
    return kLanguageTable[index].code;
}

const char* CQorSettings::DisplayNameOf(const std::string& code) {
    for (const LanguageEntry& entry : kLanguageTable) {
        if (code == entry.code) return entry.display_name;
    }
    return nullptr;
}

}  // namespace orvo
