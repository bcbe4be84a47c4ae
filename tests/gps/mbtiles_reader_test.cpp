#include "gps/mbtiles_reader.h"

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/mbtiles_writer.h"
#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using test_support::MbtilesWriter;

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

class MbtilesReaderTest : public ::testing::Test {
protected:
    fs::path File(const char* name) const { return folder_.path() / name; }

    test_support::TempFolder folder_;
    CMbtilesReader reader_;
};

TEST_F(MbtilesReaderTest, ReadsMetadataAndFlipsTmsRows) {
    {
        MbtilesWriter w(File("a.mbtiles"));
        w.SetMetadata("name", "Harbour");
        w.SetMetadata("format", "png");
        w.SetMetadata("attribution", "<a href='x'>Survey</a>");
        w.SetMetadata("bounds", " 139.70, 35.60 ,139.80,35.70");
        w.SetMetadata("minzoom", "12");
        w.SetMetadata("maxzoom", "16");
        // Row 10 of zoom 4 in TMS order is row 5 counted from the north.
        w.AddTileTmsRow(4, 3, 10, Bytes("north-of-middle"));
        w.AddTileTmsRow(4, 3, 5, Bytes("south-of-middle"));
        w.AddTile(0, 0, 0, Bytes("world"));
        ASSERT_TRUE(w.ok());
    }
    ASSERT_EQ(reader_.Open(File("a.mbtiles")), MbtilesStatus::kOk);
    EXPECT_TRUE(reader_.IsOpen());
    const MbtilesInfo& info = reader_.info();
    EXPECT_EQ(info.name, "Harbour");
    EXPECT_EQ(info.format, "png");
    EXPECT_EQ(info.attribution, "<a href='x'>Survey</a>");
    EXPECT_DOUBLE_EQ(info.bounds.west, 139.70);
    EXPECT_DOUBLE_EQ(info.bounds.south, 35.60);
    EXPECT_DOUBLE_EQ(info.bounds.east, 139.80);
    EXPECT_DOUBLE_EQ(info.bounds.north, 35.70);
    EXPECT_EQ(info.min_zoom, 12);
    EXPECT_EQ(info.max_zoom, 16);

    std::vector<uint8_t> data;
    ASSERT_TRUE(reader_.ReadTile(4, 3, 5, &data));
    EXPECT_EQ(data, Bytes("north-of-middle"));
    ASSERT_TRUE(reader_.ReadTile(4, 3, 10, &data));
    EXPECT_EQ(data, Bytes("south-of-middle"));
    ASSERT_TRUE(reader_.ReadTile(0, 0, 0, &data));
    EXPECT_EQ(data, Bytes("world"));
    EXPECT_FALSE(reader_.ReadTile(4, 4, 5, &data));
    EXPECT_TRUE(data.empty());
}

TEST_F(MbtilesReaderTest, AddressesOutsideTheGridAreRefused) {
    {
        MbtilesWriter w(File("grid.mbtiles"));
        w.AddTile(1, 1, 1, Bytes("tile"));
        // Rows a careless flip would reach for addresses beyond the grid.
        w.AddTileTmsRow(1, 0, -1, Bytes("below"));
        w.AddTileTmsRow(1, 2, 0, Bytes("beside"));
    }
    ASSERT_EQ(reader_.Open(File("grid.mbtiles")), MbtilesStatus::kOk);
    std::vector<uint8_t> data;
    EXPECT_TRUE(reader_.ReadTile(1, 1, 1, &data));
    const int bad[][3] = {{-1, 0, 0}, {31, 0, 0}, {1, -1, 0}, {1, 0, -1},
                          {1, 2, 1},  {1, 0, 2},  {1, 2, 0},  {40, 1, 1}};
    for (const auto& a : bad) {
        EXPECT_FALSE(reader_.ReadTile(a[0], a[1], a[2], &data))
            << a[0] << "/" << a[1] << "/" << a[2];
    }
}

TEST_F(MbtilesReaderTest, MissingOrBrokenMetadataIsTakenFromTheTiles) {
    struct Case {
        const char* name;
        const char* bounds;
        const char* minzoom;
        const char* maxzoom;
    };
    const Case cases[] = {
        {"Absent", nullptr, nullptr, nullptr},   {"NotNumbers", "a,b,c,d", "low", "high"},
        {"ThreeNumbers", "1,2,3", "5", nullptr}, {"Reversed", "10,10,5,5", "9", "8"},
        {"OutOfRange", "1,2,3,4,5", "-1", "99"},
    };
    for (const Case& c : cases) {
        {
            MbtilesWriter w(File("m.mbtiles"));
            if (c.bounds) w.SetMetadata("bounds", c.bounds);
            if (c.minzoom) w.SetMetadata("minzoom", c.minzoom);
            if (c.maxzoom) w.SetMetadata("maxzoom", c.maxzoom);
            // Zoom 10 columns 900..901, rows 600..602 from the north; zoom 11
            // lies inside.
            for (int x = 900; x <= 901; ++x)
                for (int y = 600; y <= 602; ++y) w.AddTile(10, x, y, Bytes("t"));
            w.AddTile(11, 1801, 1201, Bytes("t"));
        }
        ASSERT_EQ(reader_.Open(File("m.mbtiles")), MbtilesStatus::kOk) << c.name;
        const MbtilesInfo& info = reader_.info();
        EXPECT_EQ(info.min_zoom, 10) << c.name;
        EXPECT_EQ(info.max_zoom, 11) << c.name;
        EXPECT_NEAR(info.bounds.west, TileXToLongitude(900, 10), 1e-9) << c.name;
        EXPECT_NEAR(info.bounds.east, TileXToLongitude(902, 10), 1e-9) << c.name;
        EXPECT_NEAR(info.bounds.north, TileYToLatitude(600, 10), 1e-9) << c.name;
        EXPECT_NEAR(info.bounds.south, TileYToLatitude(603, 10), 1e-9) << c.name;
    }
}

TEST_F(MbtilesReaderTest, BoundsBeyondTheProjectionAreClamped) {
    {
        MbtilesWriter w(File("world.mbtiles"));
        w.SetMetadata("bounds", "-200,-90,200,90");
        w.AddTile(0, 0, 0, Bytes("t"));
    }
    ASSERT_EQ(reader_.Open(File("world.mbtiles")), MbtilesStatus::kOk);
    EXPECT_DOUBLE_EQ(reader_.info().bounds.west, -180);
    EXPECT_DOUBLE_EQ(reader_.info().bounds.east, 180);
    EXPECT_NEAR(reader_.info().bounds.north, 85.0511, 1e-3);
    EXPECT_NEAR(reader_.info().bounds.south, -85.0511, 1e-3);
}

TEST_F(MbtilesReaderTest, FilesThatCannotServeTilesAreRefused) {
    fs::create_directory(File("folder.mbtiles"));
    std::ofstream(File("text.mbtiles")) << "this is not a database, just some text\n";
    {
        // A database that is not a tile set at all.
        MbtilesWriter w(File("empty.mbtiles"));
        w.SetMetadata("format", "png");
    }
    {
        MbtilesWriter w(File("vector.mbtiles"));
        w.SetMetadata("format", "pbf");
        w.AddTile(0, 0, 0, Bytes("\x1f\x8b"));
    }
    struct Case {
        const char* file;
        MbtilesStatus status;
    };
    const Case cases[] = {
        {"absent.mbtiles", MbtilesStatus::kCannotOpen},
        {"folder.mbtiles", MbtilesStatus::kCannotOpen},
        {"text.mbtiles", MbtilesStatus::kCannotOpen},
        {"empty.mbtiles", MbtilesStatus::kNoTiles},
        {"vector.mbtiles", MbtilesStatus::kVectorTiles},
    };
    for (const Case& c : cases) {
        // A good file first, so a failed open is seen to close it.
        {
            MbtilesWriter w(File("good.mbtiles"));
            w.AddTile(0, 0, 0, Bytes("t"));
        }
        ASSERT_EQ(reader_.Open(File("good.mbtiles")), MbtilesStatus::kOk);
        EXPECT_EQ(reader_.Open(File(c.file)), c.status) << c.file;
        EXPECT_FALSE(reader_.IsOpen()) << c.file;
        std::vector<uint8_t> data;
        EXPECT_FALSE(reader_.ReadTile(0, 0, 0, &data)) << c.file;
        EXPECT_TRUE(reader_.info().name.empty()) << c.file;
    }
}

TEST_F(MbtilesReaderTest, ADatabaseWithoutTilesTableIsNoTileSet) {
    // SQLite takes an empty file for an empty database.
    std::ofstream(File("zero.db")).close();
    EXPECT_EQ(reader_.Open(File("zero.db")), MbtilesStatus::kNotMbtiles);
    EXPECT_FALSE(reader_.IsOpen());
}

TEST(TileMathTest, GridAndDegreesAgree) {
    EXPECT_DOUBLE_EQ(TileXToLongitude(0, 0), -180);
    EXPECT_DOUBLE_EQ(TileXToLongitude(1, 0), 180);
    EXPECT_NEAR(TileYToLatitude(0, 0), 85.0511287798, 1e-9);
    EXPECT_NEAR(TileYToLatitude(1, 1), 0, 1e-12);
    // Tokyo at zoom 15.
    EXPECT_EQ(static_cast<int>(LongitudeToTileX(139.745493, 15)), 29103);
    EXPECT_EQ(static_cast<int>(LatitudeToTileY(35.658517, 15)), 12905);
    for (double lat : {-80.0, -35.5, 0.0, 12.25, 60.1}) {
        EXPECT_NEAR(TileYToLatitude(LatitudeToTileY(lat, 17), 17), lat, 1e-9);
    }
}

TEST(TileContentTypeTest, JudgedByTheFirstBytes) {
    struct Case {
        std::string bytes;
        const char* type;
    };
    const Case cases[] = {
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10), "image/png"},
        {"\xff\xd8\xff\xe0....", "image/jpeg"},
        {std::string("RIFF\x10\0\0\0WEBPVP8 ", 16), "image/webp"},
        {std::string("RIFF\x10\0\0\0WAVEfmt ", 16), ""},
        {"\x89PNG", ""},
        {"\x1f\x8b\x08", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TileContentType(Bytes(c.bytes)), c.type) << c.bytes;
    }
}

}  // namespace
}  // namespace orvo
