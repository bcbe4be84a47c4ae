#include "app/qor_settings.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

struct PositionCase {
    const char* name;
    int maxscreen;
    WindowRect stored;
    int usable_width;
    int usable_height;
    WindowRect expected;
    bool work_area;
};

class ComputeWindowPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ComputeWindowPositionTest, ClampsToMinimumAndUsableArea) {
    const PositionCase& c = GetParam();
    WindowPosition p =
        ComputeWindowPosition(c.maxscreen, c.stored, c.usable_width, c.usable_height);
    EXPECT_EQ(p.rect, c.expected) << p.rect.left << "," << p.rect.top << "," << p.rect.right << ","
                                  << p.rect.bottom;
    EXPECT_EQ(p.work_area, c.work_area);
}

const PositionCase kPositionCases[] = {
    {"Defaults", 0, {0, 0, 1000, 680}, 1920, 1080, {0, 0, 1000, 680}, false},
    {"SmallAndNegativeRaisedToMinimum",
     0,
     {-50, -20, 500, 400},
     1920,
     1080,
     {0, 0, 1000, 680},
     false},
    {"LeftBeyondScreenPulledBack", 0, {5000, 0, 6000, 680}, 1920, 1080, {920, 0, 1920, 680}, false},
    {"TopBeyondScreenPulledBack",
     0,
     {0, 3000, 1000, 3680},
     1920,
     1080,
     {0, 400, 1000, 1080},
     false},
    {"SmallScreenWinsOverMinimum", 0, {0, 0, 1000, 680}, 800, 600, {0, 0, 800, 600}, false},
    {"SmallScreenWithOffsetOrigin", 0, {300, 200, 1300, 880}, 800, 600, {0, 0, 800, 600}, false},
    {"LargerWindowKept", 0, {100, 50, 1600, 1000}, 1920, 1080, {100, 50, 1600, 1000}, false},
    {"TooLargeWindowFitsScreen", 0, {-10, -10, 4000, 3000}, 1920, 1080, {0, 0, 1920, 1080}, false},
    {"InvertedRectangleRaisedToMinimum",
     0,
     {900, 500, 100, 100},
     1920,
     1080,
     {900, 400, 1900, 1080},
     false},
    {"ExtremeValuesDoNotOverflow",
     0,
     {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
     1920,
     1080,
     {0, 0, 1920, 1080},
     false},
    {"ExtremeOriginDoesNotOverflow",
     0,
     {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
     1920,
     1080,
     {920, 400, 1920, 1080},
     false},
    {"UnknownScreenKeepsMinimum", 0, {-5, 7, 0, 0}, 0, 0, {0, 7, 1000, 687}, false},
    {"MaxScreenOneSetsFlag", 1, {0, 0, 1000, 680}, 1920, 1080, {0, 0, 1000, 680}, true},
    {"MaxScreenTwoDoesNotCount", 2, {0, 0, 1000, 680}, 1920, 1080, {0, 0, 1000, 680}, false},
    {"MaxScreenMinusOneDoesNotCount", -1, {0, 0, 1000, 680}, 1920, 1080, {0, 0, 1000, 680}, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, ComputeWindowPositionTest, ::testing::ValuesIn(kPositionCases),
                         [](const auto& row) { return std::string(row.param.name); });

class QorSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ini_ = dir_ / "Qor.ini"; }
    void Put(const std::string& text) {
        std::ofstream out(ini_, std::ios::binary);
        out << text;
    }
    std::string Contents() const {
        std::ifstream in(ini_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    test_support::TempFolder folder_;
    fs::path dir_ = folder_.path();
    fs::path ini_;
};

TEST_F(QorSettingsTest, NoFileGivesEnglishDefaultWindowAndPanesShown) {
    CQorSettings settings(ini_);
    EXPECT_EQ(settings.language_index(), 0);
    EXPECT_EQ(settings.language_id(), 0x0409);
    WindowPosition p = settings.ReadWindowPosition(1920, 1080);
    EXPECT_EQ(p.rect, (WindowRect{0, 0, 1000, 680}));
    EXPECT_FALSE(p.work_area);
    EXPECT_EQ(settings.ReadInt("UI", "MAP_ENABLE", 1), 1);
    EXPECT_EQ(settings.ReadInt("UI", "GSNR_ENABLE", 1), 1);
    EXPECT_EQ(settings.ReadMap(), 0);
    EXPECT_EQ(settings.ReadFolder(), "");
    EXPECT_FALSE(fs::exists(ini_)) << "reading must not create the file";
}

struct LanguageCase {
    const char* file;
    int expected_index;
};

TEST_F(QorSettingsTest, LanguageCodeMatchesExactlyElseJapanese) {
    const LanguageCase cases[] = {
        {"[UI]\nLANGID=ENG\n", 0},     {"[UI]\nLANGID=JPN\n", 1}, {"[UI]\nLANGID=jpn\n", 1},
        {"[UI]\nLANGID=eng\n", 1},     {"[UI]\nLANGID=FRA\n", 1}, {"[UI]\nLANGID=\n", 1},
        {"[UI]\nLANGID=ENGLISH\n", 1}, {"[ui]\nlangid=ENG\n", 0}, {"[UI]\nOTHER=ENG\n", 0},
        {"[WINPOS]\nLANGID=JPN\n", 0},
    };
    for (const LanguageCase& c : cases) {
        Put(c.file);
        CQorSettings settings(ini_);
        EXPECT_EQ(settings.language_index(), c.expected_index) << c.file;
        EXPECT_EQ(settings.language_id(), c.expected_index == 0 ? 0x0409 : 0x0411) << c.file;
    }
}

TEST_F(QorSettingsTest, OverlongLanguageCodeIsNotMatchedByItsPrefix) {
    Put("[UI]\nLANGID=ENG" + std::string(100, ' ') + "x\n");
    CQorSettings settings(ini_);
    EXPECT_EQ(settings.language_index(), 1);
}

TEST_F(QorSettingsTest, SetLanguageStoresCodeAndSurvivesRestart) {
    Put("[UI]\nLANGID=JPN\nMAP=0\n");
    {
        CQorSettings settings(ini_);
        ASSERT_EQ(settings.language_index(), 1);
        EXPECT_TRUE(settings.SetLanguage(0));
        EXPECT_EQ(settings.language_index(), 0);
        EXPECT_EQ(settings.language_id(), 0x0409);
    }
    EXPECT_EQ(Contents(), "[UI]\nLANGID=ENG\nMAP=0\n");
    CQorSettings restarted(ini_);
    EXPECT_EQ(restarted.language_index(), 0);
}

TEST_F(QorSettingsTest, SetLanguageOutOfRangeChangesNothing) {
    CQorSettings settings(ini_);
    for (int index : {-1, 2, 17}) {
        EXPECT_FALSE(settings.SetLanguage(index));
        EXPECT_EQ(settings.language_index(), 0);
    }
    EXPECT_FALSE(fs::exists(ini_));
}

TEST_F(QorSettingsTest, FolderMustExist) {
    CQorSettings settings(ini_);
    settings.WriteFolder(dir_.string());
    EXPECT_EQ(settings.ReadFolder(), dir_.string());

    Put("[UI]\nFolder=" + (dir_ / "gone").string() + "\n");
    EXPECT_EQ(settings.ReadFolder(), "");

    settings.WriteFolder((dir_ / "gone").string());
    EXPECT_EQ(Contents(), "[UI]\nFolder=\n");
}

TEST_F(QorSettingsTest, MapTilesFileMustStillExist) {
    CQorSettings settings(ini_);
    EXPECT_EQ(settings.ReadMapTiles(), "");
    const fs::path file = dir_ / "region map.mbtiles";
    std::ofstream(file) << "x";
    EXPECT_TRUE(settings.WriteMapTiles(file.string()));
    EXPECT_EQ(settings.ReadMapTiles(), file.string());
    EXPECT_EQ(Contents(), "[UI]\nMAP_TILES=" + file.string() + "\n");

    fs::remove(file);
    EXPECT_EQ(settings.ReadMapTiles(), "");
    Put("[UI]\nMAP_TILES=" + dir_.string() + "\nMAP=0\n");
    EXPECT_EQ(settings.ReadMapTiles(), "") << "a folder is no tile file";
    EXPECT_TRUE(settings.WriteMapTiles(""));
    EXPECT_EQ(Contents(), "[UI]\nMAP_TILES=\nMAP=0\n");
}

TEST_F(QorSettingsTest, OnlineTilesDefaultToOpenStreetMap) {
    CQorSettings settings(ini_);
    EXPECT_EQ(settings.ReadMapTileUrl(), "https://tile.openstreetmap.org/{z}/{x}/{y}.png");
    EXPECT_EQ(settings.ReadMapAttribution(), "&copy; OpenStreetMap contributors");

    struct Case {
        const char* stored;
        bool kept;
    };
    const Case cases[] = {
        {"http://127.0.0.1:8080/{z}/{x}/{y}.png", true},
        {"https://{s}.tiles.example/{z}/{x}/{y}@2x.jpg?key=a=b", true},
        {"", false},
        {"ftp://tiles.example/{z}/{x}/{y}.png", false},
        {"javascript:alert(1)//{z}{x}{y}", false},
        {"file:///srv/{z}/{x}/{y}.png", false},
        {"https://tiles.example/{z}/{x}.png", false},
        {"tiles.example/{z}/{x}/{y}.png", false},
    };
    for (const Case& c : cases) {
        Put(std::string("[UI]\nMAP_TILE_URL=") + c.stored + "\n");
        EXPECT_EQ(settings.ReadMapTileUrl(), c.kept ? c.stored : kDefaultMapTileUrl) << c.stored;
    }
    Put("[ui]\nmap_attribution=Survey office\n");
    EXPECT_EQ(settings.ReadMapAttribution(), "Survey office");
}

TEST_F(QorSettingsTest, MapIsAlwaysProviderZero) {
    CQorSettings settings(ini_);
    for (const char* stored : {"3", "-5", "0", "2147483647", "abc"}) {
        Put(std::string("[UI]\nMAP=") + stored + "\n");
        EXPECT_EQ(settings.ReadMap(), 0) << stored;
        EXPECT_EQ(settings.map_provider(), 0) << stored;
    }
}

TEST_F(QorSettingsTest, WorkAreaCloseWritesOnlyMaxScreen) {
    Put("[WINPOS]\nMAXSCREEN=0\nLEFT=10\nTOP=20\nRIGHT=1210\nBOTTOM=820\n");
    CQorSettings settings(ini_);
    settings.WriteWindowPosition(WindowRect{1, 2, 3, 4}, true);
    EXPECT_EQ(Contents(), "[WINPOS]\nMAXSCREEN=1\nLEFT=10\nTOP=20\nRIGHT=1210\nBOTTOM=820\n");
    WindowPosition p = settings.ReadWindowPosition(1920, 1080);
    EXPECT_TRUE(p.work_area);
    EXPECT_EQ(p.rect, (WindowRect{10, 20, 1210, 820}));
}

TEST_F(QorSettingsTest, MaxScreenWithoutPositionKeys) {
    Put("[WINPOS]\nMAXSCREEN=1\n");
    CQorSettings settings(ini_);
    WindowPosition p = settings.ReadWindowPosition(1920, 1080);
    EXPECT_TRUE(p.work_area);
    EXPECT_EQ(p.rect, (WindowRect{0, 0, 1000, 680}));
    settings.WriteWindowPosition(p.rect, true);
    EXPECT_EQ(Contents(), "[WINPOS]\nMAXSCREEN=1\n");
}

TEST_F(QorSettingsTest, NormalCloseWritesPositionInOrder) {
    CQorSettings settings(ini_);
    settings.WriteWindowPosition(WindowRect{-8, 30, 1100, 750}, false);
    EXPECT_EQ(Contents(), "[WINPOS]\nMAXSCREEN=0\nLEFT=-8\nTOP=30\nRIGHT=1100\nBOTTOM=750\n");
    WindowPosition p = settings.ReadWindowPosition(1920, 1080);
    EXPECT_FALSE(p.work_area);
    EXPECT_EQ(p.rect, (WindowRect{0, 30, 1108, 750}));
}

TEST_F(QorSettingsTest, WriteIntUsesDecimalText) {
    CQorSettings settings(ini_);
    EXPECT_TRUE(settings.WriteInt("UI", "MAP_ENABLE", 0));
    EXPECT_TRUE(settings.WriteInt("UI", "GSNR_ENABLE", -2147483647 - 1));
    EXPECT_EQ(Contents(), "[UI]\nMAP_ENABLE=0\nGSNR_ENABLE=-2147483648\n");
    EXPECT_EQ(settings.ReadInt("ui", "gsnr_enable", 1), INT_MIN);
}

TEST_F(QorSettingsTest, DirectoryAsSettingsFileKeepsDefaults) {
    fs::create_directory(ini_);
    CQorSettings settings(ini_);
    EXPECT_EQ(settings.language_index(), 0);
    EXPECT_FALSE(settings.SetLanguage(1));
    EXPECT_EQ(settings.language_index(), 1) << "the language applies even when not stored";
    settings.WriteWindowPosition(WindowRect{1, 2, 3, 4}, false);
    EXPECT_EQ(settings.ReadWindowPosition(1920, 1080).rect, (WindowRect{0, 0, 1000, 680}));
    EXPECT_TRUE(fs::is_directory(ini_));
}

TEST(LanguageTableTest, CodesAndDisplayNames) {
    EXPECT_STREQ(CQorSettings::CodeOf(0), "ENG");
    EXPECT_STREQ(CQorSettings::CodeOf(1), "JPN");
    EXPECT_EQ(CQorSettings::CodeOf(2), nullptr);
    EXPECT_EQ(CQorSettings::CodeOf(-1), nullptr);
    EXPECT_STREQ(CQorSettings::DisplayNameOf("ENG"), "English");
    EXPECT_STREQ(CQorSettings::DisplayNameOf("JPN"), "日本語");
    EXPECT_EQ(CQorSettings::DisplayNameOf("jpn"), nullptr);
    EXPECT_EQ(CQorSettings::DisplayNameOf(""), nullptr);
    EXPECT_EQ(LanguageIdOf(kLanguageTable[0]), 0x0409);
    EXPECT_EQ(LanguageIdOf(kLanguageTable[1]), 0x0411);
}

}  // namespace
}  // namespace orvo
