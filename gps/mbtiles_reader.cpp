#include "gps/mbtiles_reader.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string_view>
#include <system_error>

namespace orvo {

namespace {

// Web Mercator stops short of the poles.
constexpr double kMaxLatitude = 85.0511287798;
// A tile larger than this is not a map picture; it is not handed on.
constexpr size_t kMaxTileBytes = 16u << 20;
// Another program may hold a write lock on the file for a moment.
constexpr int kBusyTimeoutMs = 1000;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool ParseDouble(std::string_view text, double* value) {
    text = Trim(text);
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), *value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::isfinite(*value);
}

bool ParseZoom(std::string_view text, int* zoom) {
    text = Trim(text);
    if (text.empty()) return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), *zoom);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && *zoom >= 0 &&
           *zoom <= kMaxTileZoom;
}

// "west,south,east,north" as the metadata stores it.
bool ParseBounds(std::string_view text, TileBounds* bounds) {
    double v[4];
    for (int i = 0; i < 4; ++i) {
        const auto comma = text.find(',');
        if ((i < 3) != (comma != std::string_view::npos)) return false;
        if (!ParseDouble(text.substr(0, comma), &v[i])) return false;
        if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
    }
    const double west = std::max(v[0], -180.0);
    const double east = std::min(v[2], 180.0);
    const double south = std::max(v[1], -kMaxLatitude);
    const double north = std::min(v[3], kMaxLatitude);
    if (!(west < east) || !(south < north)) return false;
    *bounds = {west, south, east, north};
    return true;
}

MbtilesStatus StatusOfError(sqlite3* db) {
    switch (sqlite3_errcode(db)) {
        case SQLITE_NOTADB:
        case SQLITE_CANTOPEN:
        case SQLITE_IOERR:
        case SQLITE_CORRUPT:
        case SQLITE_PERM:
            return MbtilesStatus::kCannotOpen;
        default:
            return MbtilesStatus::kNotMbtiles;
    }
}

}  // namespace

double TileXToLongitude(double x, int zoom) {
    return x / std::ldexp(1.0, zoom) * 360.0 - 180.0;
}

double TileYToLatitude(double y, int zoom) {
    const double n = std::numbers::pi * (1.0 - 2.0 * y / std::ldexp(1.0, zoom));
    return std::atan(std::sinh(n)) * 180.0 / std::numbers::pi;
}

double LongitudeToTileX(double longitude, int zoom) {
    return (longitude + 180.0) / 360.0 * std::ldexp(1.0, zoom);
}

double LatitudeToTileY(double latitude, int zoom) {
    const double rad = latitude * std::numbers::pi / 180.0;
    return (1.0 - std::asinh(std::tan(rad)) / std::numbers::pi) / 2.0 * std::ldexp(1.0, zoom);
}

std::string TileContentType(const std::vector<uint8_t>& data) {
    auto starts = [&data](std::string_view magic, size_t at = 0) {
        return data.size() >= at + magic.size() &&
               std::equal(magic.begin(), magic.end(), data.begin() + static_cast<long>(at),
                          [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
    };
    if (starts("\x89PNG\r\n\x1a\n")) return "image/png";
    if (starts("\xff\xd8\xff")) return "image/jpeg";
    if (starts("RIFF") && starts("WEBP", 8)) return "image/webp";
    return {};
}

CMbtilesReader::~CMbtilesReader() {
    Close();
}

void CMbtilesReader::Close() {
    sqlite3_finalize(tile_query_);
    tile_query_ = nullptr;
    sqlite3_close(db_);
    db_ = nullptr;
    path_.clear();
    info_ = {};
}

MbtilesStatus CMbtilesReader::Open(const std::filesystem::path& path) {
    Close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return MbtilesStatus::kCannotOpen;
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        Close();
        return MbtilesStatus::kCannotOpen;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    path_ = path;
    const MbtilesStatus status = ReadInfo();
    if (status != MbtilesStatus::kOk) Close();
    return status;
}

MbtilesStatus CMbtilesReader::ReadInfo() {
    // Preparing the tile query is the first read of the file: it fails on a
    // file that is not a database and on a database without tiles.
    if (sqlite3_prepare_v2(db_,
                           "SELECT tile_data FROM tiles WHERE zoom_level = ?1 AND "
                           "tile_column = ?2 AND tile_row = ?3",
                           -1, &tile_query_, nullptr) != SQLITE_OK) {
        return StatusOfError(db_);
    }
    info_.name = Metadata("name");
    info_.format = Metadata("format");
    info_.attribution = Metadata("attribution");
    if (info_.format == "pbf" || info_.format == "mvt") return MbtilesStatus::kVectorTiles;

    int min_zoom = 0;
    int max_zoom = 0;
    const bool stated = ParseZoom(Metadata("minzoom"), &min_zoom) &&
                        ParseZoom(Metadata("maxzoom"), &max_zoom) && min_zoom <= max_zoom;
    if (!stated && !TileZoomRange(&min_zoom, &max_zoom)) return MbtilesStatus::kNoTiles;
    info_.min_zoom = min_zoom;
    info_.max_zoom = max_zoom;
    if (!ParseBounds(Metadata("bounds"), &info_.bounds)) BoundsFromTiles();
    return MbtilesStatus::kOk;
}

std::string CMbtilesReader::Metadata(const char* name) {
    sqlite3_stmt* query = nullptr;
    std::string value;
    if (sqlite3_prepare_v2(db_, "SELECT value FROM metadata WHERE name = ?1", -1, &query,
                           nullptr) == SQLITE_OK &&
        sqlite3_bind_text(query, 1, name, -1, SQLITE_STATIC) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW) {
        if (const auto* text = sqlite3_column_text(query, 0)) {
            value.assign(reinterpret_cast<const char*>(text),
                         static_cast<size_t>(sqlite3_column_bytes(query, 0)));
        }
    }
    sqlite3_finalize(query);
    return value;
}

bool CMbtilesReader::TileZoomRange(int* min_zoom, int* max_zoom) {
    sqlite3_stmt* query = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db_, "SELECT MIN(zoom_level), MAX(zoom_level) FROM tiles", -1, &query,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW && sqlite3_column_type(query, 0) == SQLITE_INTEGER) {
        const sqlite3_int64 low = sqlite3_column_int64(query, 0);
        const sqlite3_int64 high = sqlite3_column_int64(query, 1);
        found = low >= 0 && high <= kMaxTileZoom && low <= high;
        *min_zoom = static_cast<int>(std::clamp<sqlite3_int64>(low, 0, kMaxTileZoom));
        *max_zoom = static_cast<int>(std::clamp<sqlite3_int64>(high, 0, kMaxTileZoom));
    }
    sqlite3_finalize(query);
    return found;
}

void CMbtilesReader::BoundsFromTiles() {
    // The extent of the tiles at the coarsest level covers all the others.
    sqlite3_stmt* query = nullptr;
    const int z = info_.min_zoom;
    if (sqlite3_prepare_v2(db_,
                           "SELECT MIN(tile_column), MAX(tile_column), MIN(tile_row), "
                           "MAX(tile_row) FROM tiles WHERE zoom_level = ?1",
                           -1, &query, nullptr) == SQLITE_OK &&
        sqlite3_bind_int(query, 1, z) == SQLITE_OK && sqlite3_step(query) == SQLITE_ROW &&
        sqlite3_column_type(query, 0) == SQLITE_INTEGER) {
        const double n = std::ldexp(1.0, z);
        auto column = [&](int i) {
            return std::clamp(static_cast<double>(sqlite3_column_int64(query, i)), 0.0, n - 1);
        };
        info_.bounds.west = TileXToLongitude(column(0), z);
        info_.bounds.east = TileXToLongitude(column(1) + 1, z);
        // TMS rows count from the south.
        info_.bounds.south = TileYToLatitude(n - column(2), z);
        info_.bounds.north = TileYToLatitude(n - 1 - column(3), z);
    }
    sqlite3_finalize(query);
}

bool CMbtilesReader::ReadTile(int z, int x, int y, std::vector<uint8_t>* data) {
    data->clear();
    if (tile_query_ == nullptr || z < 0 || z > kMaxTileZoom) return false;
    const int64_t n = int64_t{1} << z;
    if (x < 0 || y < 0 || x >= n || y >= n) return false;
    sqlite3_reset(tile_query_);
    sqlite3_bind_int(tile_query_, 1, z);
    sqlite3_bind_int64(tile_query_, 2, x);
    sqlite3_bind_int64(tile_query_, 3, n - 1 - y);
    bool found = false;
    if (sqlite3_step(tile_query_) == SQLITE_ROW) {
        const void* blob = sqlite3_column_blob(tile_query_, 0);
        const int bytes = sqlite3_column_bytes(tile_query_, 0);
        if (blob != nullptr && bytes > 0 && static_cast<size_t>(bytes) <= kMaxTileBytes) {
            const auto* begin = static_cast<const uint8_t*>(blob);
            data->assign(begin, begin + bytes);
            found = true;
        }
    }
    sqlite3_reset(tile_query_);
    return found;
}

}  // namespace orvo
