#include "gps/map_tile_source.h"

#include <string>

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(StripMarkupTest, TagsGoEntitiesStay) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"&copy; OpenStreetMap contributors", "&copy; OpenStreetMap contributors"},
        {"<a href=\"https://x\">Survey</a> 2024", "Survey 2024"},
        {"<img src=x onerror=alert(1)>Map", "Map"},
        {"<script>alert(1)</script>", "alert(1)"},
        {"a < b", "a &lt; b"},
        {"a > b", "a > b"},
        {"<<b>>x", ">x"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(StripMarkup(c.in), c.out) << c.in;
}

TEST(TileSourceScriptTest, OnlineSourceCarriesTemplateAndCleanAttribution) {
    const MapTileSource source =
        OnlineTileSource("https://t.example/{z}/{x}/{y}.png?k=\"1\"", "<b>Tiles</b>\\ \n");
    EXPECT_EQ(source.kind, MapTileSource::Kind::kOnline);
    EXPECT_EQ(TileSourceScript(source),
              "window.orvoTileSource = {\"kind\":\"online\","
              "\"url\":\"https://t.example/{z}/{x}/{y}.png?k=\\\"1\\\"\","
              "\"attribution\":\"Tiles\\\\ \\n\",\"minZoom\":0,\"maxZoom\":19};");
}

TEST(TileSourceScriptTest, FileSourceCarriesBoundsZoomsAndGeneration) {
    MbtilesInfo info;
    info.name = "Harbour <b>map</b>";
    info.bounds = {139.5, 35.25, 139.875, 35.7000001};
    info.min_zoom = 12;
    info.max_zoom = 16;
    MapTileSource source = FileTileSource(info, 7);
    EXPECT_EQ(source.kind, MapTileSource::Kind::kFile);
    EXPECT_EQ(source.url, "orvo-tiles:/7/{z}/{x}/{y}");
    // Without an attribution the file's name stands in.
    EXPECT_EQ(source.attribution, "Harbour map");
    // Leaflet's order: south-west then north-east, all digits kept.
    EXPECT_EQ(TileSourceScript(source),
              "window.orvoTileSource = {\"kind\":\"file\",\"url\":\"orvo-tiles:/7/{z}/{x}/{y}\","
              "\"attribution\":\"Harbour map\",\"bounds\":[35.25,139.5,35.7000001,139.875],"
              "\"minZoom\":12,\"maxZoom\":16};");
    info.attribution = "&copy; Survey";
    EXPECT_EQ(FileTileSource(info, 8).attribution, "&copy; Survey");
    EXPECT_NE(FileTileSource(info, 8).url, source.url);
}

TEST(TileSourceScriptTest, ControlCharactersAreEscaped) {
    const std::string script =
        TileSourceScript(OnlineTileSource("https://x/{z}/{x}/{y}", std::string("a\x01\tb\r", 5)));
    EXPECT_NE(script.find("\"a\\u0001\\tb\\r\""), std::string::npos) << script;
}

}  // namespace
}  // namespace orvo
