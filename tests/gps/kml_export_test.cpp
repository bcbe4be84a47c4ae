#include "gps/kml_export.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/clip_catalog.h"
#include "library/documents_folder.h"
#include "tests/library/card_files.h"
#include "tests/map/locale_switch.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::Fix;
using testing::ReadAll;
using testing::RecordingOptions;
using testing::TempFolder;
using testing::WriteRecording;

// Nine hours ahead of UTC, no daylight saving.
const bool kZoneSet = test_support::PinTimeZone("JST-9");

fs::path Golden(const std::string& name) {
    const char* root = std::getenv("ORVO_SOURCE_DIR");
    return fs::path(root != nullptr ? root : ".") / "tests/gps/golden" / name;
}

std::vector<GpsRecord> SampleTrack() {
    std::vector<GpsRecord> track = {Fix(3731.5, 12658.2, 40, 10, 35)};
    GpsRecord no_fix = Fix(3731.6, 12658.3, 40, 10, 36);
    no_fix.flags = 0;
    track.push_back(no_fix);
    track.push_back(Fix(20000.0, 12658.2, 40, 10, 37));  // beyond the usable range
    track.push_back(Fix(-3731.5, -12658.2, 0, 0, -5));
    track.push_back(Fix(3539.51, 13944.724, 0, 0, 0));
    return track;
}

TEST(KmlDocumentTest, MatchesTheGoldenFileByteForByte) {
    const std::string document = KmlDocument("ドライブ&<1>.MOV", "DCIM/MOVIE/", 0, SampleTrack());
    EXPECT_EQ(document, ReadAll(Golden("track.kml")));
}

TEST(KmlDocumentTest, EmptyTrackAndChosenFileGoldenFile) {
    // A chosen file has no sub-folder: the description starts with a quote
    // directly followed by the separator.
    const std::string document = KmlDocument("FILE180501_120000.MOV", "", 1525143600, {});
    EXPECT_EQ(document, ReadAll(Golden("empty.kml")));
}

TEST(KmlDocumentTest, NumbersIgnoreTheProcessLocale) {
    std::string why;
    ASSERT_TRUE(testing::UseLocale("de_DE.UTF-8", "de_DE", &why)) << why;
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");  // the locale really is in effect
    const std::string document = KmlDocument("ドライブ&<1>.MOV", "DCIM/MOVIE/", 0, SampleTrack());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(document, ReadAll(Golden("track.kml")));
}

TEST(KmlFileNameTest, UsesTheLocalStartTime) {
    EXPECT_EQ(KmlFileName("FILE180501_120000.MOV", 0), "FILE180501_120000_1970_01_01_09-00-00.KML");
    EXPECT_EQ(KmlFileName("FILE180501_120000.MOV", 1525143600),
              "FILE180501_120000_2018_05_01_12-00-00.KML");
    EXPECT_EQ(KmlFileName("ドライブ.AVI", 0), "ドライブ_1970_01_01_09-00-00.KML");
}

TEST(XmlEscapeTest, EscapesMarkupAndRepairsBadText) {
    EXPECT_EQ(XmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(XmlEscape("日本\tok"), "日本\tok");
    EXPECT_EQ(XmlEscape(std::string("x\x01y")), "x\xEF\xBF\xBDy");
    EXPECT_EQ(XmlEscape("\xC3"), "\xEF\xBF\xBD");                                  // cut sequence
    EXPECT_EQ(XmlEscape("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");                  // overlong
    EXPECT_EQ(XmlEscape("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
}

class ExportKmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingOptions options;
        options.hour = 12;
        options.gps = {Fix(3731.5, 12658.2, 40, 10, 35)};
        WriteRecording(card_.path() / "DCIM/MOVIE/Äpfel180501_120000.MOV", options);
        ASSERT_EQ(catalog_.Load(card_.str(), ""), 1);
        ASSERT_EQ(catalog_.Count(), 0);  // the scan's name filter refuses it
        ASSERT_EQ(catalog_.Load(card_.str() + "/DCIM/MOVIE", "Äpfel180501_120000.MOV"), 1);
        ASSERT_EQ(catalog_.Count(), 1);
        out_ = out_folder_.str() + "/";
    }

    TempFolder card_;
    TempFolder out_folder_;
    std::string out_;
    CClipCatalog catalog_;
};

TEST_F(ExportKmlTest, WritesTheSelectedTrackAndReplacesAnOldFile) {
    ASSERT_EQ(catalog_.SelectFile(0), 1);
    ASSERT_EQ(catalog_.SelectClip(0), 1);
    const std::string expected = out_ + "Äpfel180501_120000_2018_05_01_12-00-00.KML";
    std::ofstream(expected) << "an older export that is much longer than the new one ........";
    std::string path;
    ASSERT_EQ(ExportKml(catalog_, out_, &path), 1);
    EXPECT_EQ(path, expected);
    EXPECT_EQ(ReadAll(path), ReadAll(Golden("export.kml")));
    ASSERT_EQ(ExportKml(catalog_, out_, &path), 1);
    EXPECT_EQ(ReadAll(path), ReadAll(Golden("export.kml")));
    // Nothing but the export in the folder (no temporary file left).
    EXPECT_EQ(std::distance(fs::directory_iterator(out_folder_.path()), {}), 1);
}

TEST_F(ExportKmlTest, FailsWithoutSelectionOrWritableFolder) {
    std::string path = "untouched";
    EXPECT_EQ(ExportKml(catalog_, out_, &path), 0);  // nothing selected after a load
    EXPECT_EQ(path, "untouched");
    ASSERT_EQ(catalog_.SelectFile(0), 1);
    EXPECT_EQ(ExportKml(catalog_, out_ + "missing/", &path), 0);
    EXPECT_EQ(ExportKml(catalog_, "", &path), 0);  // documents folder unknown
    EXPECT_EQ(path, "untouched");
    EXPECT_TRUE(fs::is_empty(out_folder_.path()));
}

class DocumentsFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_DOCUMENTS_DIR", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved_.push_back(
                {name, value != nullptr ? std::optional<std::string>(value) : std::nullopt});
        }
        ::setenv("HOME", home_.str().c_str(), 1);
        ::unsetenv("XDG_DOCUMENTS_DIR");
        ::unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

    TempFolder home_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(DocumentsFolderTest, FollowsTheXdgUserDirsRules) {
    EXPECT_EQ(DocumentsFolder(), home_.str() + "/Documents");
    fs::create_directories(home_.path() / ".config");
    std::ofstream(home_.path() / ".config/user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(DocumentsFolder(), home_.str() + "/Dokumente");
    ::setenv("XDG_DOCUMENTS_DIR", "/srv/docs/", 1);
    EXPECT_EQ(DocumentsFolder(), "/srv/docs");
}

TEST_F(DocumentsFolderTest, KmlFolderIsCreatedBelowTheDocuments) {
    const std::string documents = home_.str() + "/Docs";
    ::setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    EXPECT_EQ(KmlFolder(), documents + "/QOR/KML/");
    EXPECT_TRUE(fs::is_directory(documents + "/QOR/KML"));
    EXPECT_EQ(KmlFolder(), documents + "/QOR/KML/");
}

}  // namespace
}  // namespace orvo
