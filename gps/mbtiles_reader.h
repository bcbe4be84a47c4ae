#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace orvo {

// Geographic rectangle in degrees (WGS 84), as MBTiles metadata gives it.
struct TileBounds {
    double west = -180.0;
    double south = -85.0511;
    double east = 180.0;
    double north = 85.0511;
};

// What an MBTiles file says about itself, completed from its tiles where
// the metadata leaves something out.
struct MbtilesInfo {
    std::string name;
    std::string format;       // "png", "jpg", "webp" or empty when not stated
    std::string attribution;  // as stored (may hold markup)
    TileBounds bounds;
    int min_zoom = 0;
    int max_zoom = 0;
};

enum class MbtilesStatus {
    kOk = 0,
    kCannotOpen,   // missing, unreadable, or not an SQLite file
    kNotMbtiles,   // no "tiles" table or view
    kNoTiles,      // the tiles table is empty
    kVectorTiles,  // tiles that are not pictures (protocol buffers); not drawn
};

// Deepest zoom level a tile address may have; 2^30 tiles per axis.
inline constexpr int kMaxTileZoom = 30;

// Web Mercator tile grid, tiles counted from the north-west corner (x to the
// east, y to the south) as web maps address them.
double TileXToLongitude(double x, int zoom);
double TileYToLatitude(double y, int zoom);
double LongitudeToTileX(double longitude, int zoom);
double LatitudeToTileY(double latitude, int zoom);

// MIME type of a tile picture judged by its first bytes; empty when it is
// none of PNG, JPEG, WebP.
std::string TileContentType(const std::vector<uint8_t>& data);

// Read-only access to a tile set in an MBTiles file (an SQLite database with
// "metadata" and "tiles"). Tiles are stored in TMS row order (row 0 in the
// south); ReadTile takes the row counted from the north and flips it. Not
// thread-safe: one reader serves one thread.
class CMbtilesReader {
public:
    CMbtilesReader() = default;
    ~CMbtilesReader();
    CMbtilesReader(const CMbtilesReader&) = delete;
    CMbtilesReader& operator=(const CMbtilesReader&) = delete;

    // Closes what was open, then opens the file. On failure the reader is
    // closed and info() is empty.
    MbtilesStatus Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }
    const MbtilesInfo& info() const { return info_; }

    // The tile at zoom z, column x, row y (from the north). False when the
    // address is outside the grid, the tile is absent or cannot be read.
    bool ReadTile(int z, int x, int y, std::vector<uint8_t>* data);

private:
    MbtilesStatus ReadInfo();
    std::string Metadata(const char* name);
    bool TileZoomRange(int* min_zoom, int* max_zoom);
    void BoundsFromTiles();

    sqlite3* db_ = nullptr;
    sqlite3_stmt* tile_query_ = nullptr;
    std::filesystem::path path_;
    MbtilesInfo info_;
};

}  // namespace orvo
