#pragma once

#include <string>
#include <string_view>

#include "gps/mbtiles_reader.h"

namespace orvo {

// The URL scheme through which the map page asks the program for the tiles
// of an MBTiles file: "orvo-tiles:/<generation>/<z>/<x>/<y>".
inline constexpr char kMapTileScheme[] = "orvo-tiles";

// Zoom levels the map offers; online tile servers stop at 19.
inline constexpr int kMapMaxZoom = 19;

// Where the map page takes its tiles from, handed to the page when it loads.
struct MapTileSource {
    enum class Kind { kOnline, kFile };
    Kind kind = Kind::kOnline;
    std::string url;          // Leaflet address template
    std::string attribution;  // markup removed, entities kept
    // Only for kFile: where the file has tiles. Beyond them the page shows
    // its background.
    TileBounds bounds;
    int min_zoom = 0;
    int max_zoom = kMapMaxZoom;
};

// Removes every tag from a text meant for the page's attribution line, so a
// map file or a settings value cannot put markup or script into the page.
// Entities such as "&copy;" stay; a '<' without its '>' is escaped.
std::string StripMarkup(std::string_view text);

MapTileSource OnlineTileSource(const std::string& url_template, const std::string& attribution);
// generation changes whenever another file is opened, so the page never
// shows a tile it kept from the previous file.
MapTileSource FileTileSource(const MbtilesInfo& info, int generation);

// The script that hands the source to the page before its own scripts run:
// "window.orvoTileSource = {...};". Numbers are written locale-independently.
std::string TileSourceScript(const MapTileSource& source);

}  // namespace orvo
