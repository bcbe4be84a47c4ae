#include "library/clip_catalog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/library/card_files.h"
#include "tests/library/fake_views.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::CallLog;
using testing::FakeFileList;
using testing::FakeGroupList;
using testing::FakeGSensor;
using testing::FakeMap;
using testing::FakePanel;
using testing::FakeScanCounter;
using testing::RecordingOptions;
using testing::TempFolder;
using testing::WriteRecording;

// Start times below are local wall-clock times; fix the zone.
const bool kZoneSet = test_support::PinTimeZone("UTC0");

std::vector<std::string> Names(const CClipCatalog& catalog) {
    std::vector<std::string> names;
    for (const ClipEntry& entry : catalog.entries()) names.push_back(entry.fileName);
    return names;
}

TEST(NameFilterTest, AcceptsOnlyTheCameraNamingScheme) {
    struct Row {
        const char* name;
        bool accepted;
    };
    const Row rows[] = {
        {"EMER180501_120000.MOV", true},
        {"NORG180501_120000.AVI", true},
        {"A_-b1805x.MOV", true},
        {"ABCD1805.AVI", true},
        {"ABCD18x501.MOV", false},
        {"SHORT.MOV", false},
        {"ABCD180501_120000.mov", false},
        {"ABCD180501_120000.Mov", false},
        {"AB#D180501.MOV", false},
        {"ABC 180501.MOV", false},
        {"ABCD180501_120000.MP4", false},
        {"ABCD1805", false},
        {"", false},
        {".MOV", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsRecordingName(row.name), row.accepted) << row.name;
    }
}

// Which prefixes count is covered with the list's type column; here only the
// names each type is reported under.
TEST(NameFilterTest, TypeNamesOfTheThreeKinds) {
    EXPECT_STREQ(ClipTypeName("EMER180501_120000.MOV"), "Event");
    EXPECT_STREQ(ClipTypeName("MANU180501_120000.MOV"), "Manual");
    EXPECT_STREQ(ClipTypeName("NORG180501_120000.AVI"), "Normal");
}

// Two 60-second recordings; the second starts `second_start` seconds after
// 12:00:00. Expected start of the second one is 12:01:00.
int GroupsForSecondStart(int second_start, const char* extension) {
    TempFolder card;
    const std::string ext = extension;
    WriteRecording(card.path() / ("FILE180501_120000" + ext), 12, 0, 0);
    WriteRecording(card.path() / ("FILE180501_120100" + ext), 12, second_start / 60,
                   second_start % 60);
    CClipCatalog catalog;
    EXPECT_EQ(catalog.Load(card.str(), ""), 1);
    EXPECT_EQ(catalog.Count(), 2);
    return static_cast<int>(catalog.groups().size());
}

TEST(GroupingTest, ChainsRecordingsWithinTwoSecondsOfTheExpectedStart) {
    EXPECT_EQ(GroupsForSecondStart(57, ".MOV"), 2);
    EXPECT_EQ(GroupsForSecondStart(58, ".MOV"), 1);
    EXPECT_EQ(GroupsForSecondStart(60, ".MOV"), 1);
    EXPECT_EQ(GroupsForSecondStart(62, ".MOV"), 1);
    EXPECT_EQ(GroupsForSecondStart(63, ".MOV"), 2);
    EXPECT_EQ(GroupsForSecondStart(61, ".AVI"), 1);
    EXPECT_EQ(GroupsForSecondStart(63, ".AVI"), 2);
}

TEST(GroupingTest, BuildsGroupsRowsAndTotals) {
    TempFolder card;
    // 59.9 s long: lengthSeconds is 59, so the next one is expected at +59.
    RecordingOptions first;
    first.duration_ms = 59900;
    WriteRecording(card.path() / "DCIM/MOVIE/FILE180501_120000.MOV", first);
    WriteRecording(card.path() / "DCIM/MOVIE/FILG180501_120059.MOV", 12, 0, 59, 30000);
    WriteRecording(card.path() / "DCIM/MOVIE/FILE180501_130000.MOV", 13, 0, 0, 1000);

    CallLog log;
    FakeFileList files(&log);
    FakeGroupList groups(&log);
    CClipCatalog catalog;
    catalog.Bind(&files, nullptr, nullptr, nullptr);
    catalog.BindGroupList(&groups);
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);

    ASSERT_EQ(catalog.groups().size(), 2u);
    const ClipGroup& g0 = catalog.groups()[0];
    EXPECT_EQ(g0.first, 0);
    EXPECT_EQ(g0.count, 2);
    EXPECT_EQ(g0.totalDurationMs, 89900u);
    EXPECT_EQ(g0.flags, kClipLocked);
    EXPECT_EQ(g0.totalSize,
              catalog.entries()[0].info.fileSize + catalog.entries()[1].info.fileSize);
    EXPECT_EQ(catalog.groups()[1].first, 2);
    EXPECT_EQ(catalog.groups()[1].index, 1);

    ASSERT_EQ(catalog.rows().size(), 3u);
    EXPECT_EQ(catalog.rows()[1].group, 0);
    EXPECT_EQ(catalog.rows()[1].indexInGroup, 1);
    EXPECT_EQ(catalog.rows()[2].group, 1);
    EXPECT_EQ(catalog.rows()[2].indexInGroup, 0);
    EXPECT_EQ(catalog.rows()[2].durationMs, 1000u);

    EXPECT_EQ(files.rows,
              (std::vector<std::string>{"FILE180501_120000.MOV", "FILG180501_120059.MOV",
                                        "FILE180501_130000.MOV"}));
    EXPECT_EQ(files.folders[0], card.str() + "/DCIM/MOVIE/");
    ASSERT_EQ(groups.rows.size(), 2u);
    const int64_t noon = 1525176000;  // 2018-05-01 12:00:00 UTC
    EXPECT_EQ(groups.rows[0],
              "G0 FHD 89900 " + std::to_string(g0.totalSize) + " 1 " + std::to_string(noon));
}

// Deletes the first recording C of the second group while D, the next one,
// cannot be deleted, and returns the number of groups afterwards.
size_t GroupsAfterDeletingGroupStart(int c_minute, int c_second, uint32_t c_duration_ms,
                                     int d_minute) {
    TempFolder card;
    WriteRecording(card.path() / "FILE180501_120000.MOV", 12, 0, 0);
    WriteRecording(card.path() / "FILE180501_120100.MOV", 12, 1, 0);
    WriteRecording(card.path() / "FILE180501_120130.MOV", 12, c_minute, c_second, c_duration_ms);
    WriteRecording(card.path() / "FILE180501_120200.MOV", 12, d_minute, 0);
    CallLog log;
    FakeGroupList groups(&log);
    CClipCatalog catalog;
    catalog.BindGroupList(&groups);
    EXPECT_EQ(catalog.Load(card.str(), ""), 1);
    EXPECT_EQ(catalog.groups().size(), 2u);
    EXPECT_EQ(catalog.groups()[1].count, 2);
    // A folder in place of D: its deletion fails.
    fs::remove(card.path() / "FILE180501_120200.MOV");
    fs::create_directory(card.path() / "FILE180501_120200.MOV");
    groups.checked = {1};
    EXPECT_EQ(catalog.DeleteChecked(), 1);
    EXPECT_EQ(Names(catalog),
              (std::vector<std::string>{"FILE180501_120000.MOV", "FILE180501_120100.MOV",
                                        "FILE180501_120200.MOV"}));
    EXPECT_EQ(groups.rows.size(), catalog.groups().size());
    return catalog.groups().size();
}

TEST(GroupingTest, AfterDeletingAGroupStartTheNextJoinsOnlyWhenItFollows) {
    // C 12:01:30 (30 s) opens group 1, D 12:02:00 follows C and also B.
    EXPECT_EQ(GroupsAfterDeletingGroupStart(1, 30, 30000, 2), 1u);
    // C 12:05:00 (60 s), D 12:06:00 follows C but not B.
    EXPECT_EQ(GroupsAfterDeletingGroupStart(5, 0, 60000, 6), 2u);
}

TEST(LoadTest, ScanSkipsHiddenAndSystemEntriesAndCountsEveryVisitedFile) {
    TempFolder card;
    WriteRecording(card.path() / "DCIM/MOVIE/FILE180501_120000.MOV", 12, 0, 0);
    WriteRecording(card.path() / "DCIM/.hidden/FILE180501_120100.MOV", 12, 1, 0);
    WriteRecording(card.path() / "DCIM/MOVIE/.FILE180501_120200.MOV", 12, 2, 0);
    WriteRecording(card.path() / "FILE180501_120300.AVI", 12, 3, 0);
    std::ofstream(card.path() / "DCIM/MOVIE/notes.txt") << "x";
    std::ofstream(card.path() / "DCIM/MOVIE/BADX180501_120000.MOV") << "not a recording";
    fs::create_symlink(card.path() / "FILE180501_120300.AVI",
                       card.path() / "DCIM/LINK180501_120300.AVI");
    fs::create_directory_symlink(card.path() / "DCIM/MOVIE", card.path() / "LOOP");

    FakeScanCounter counter;
    CClipCatalog catalog;
    catalog.BindScanCounter(&counter);
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);

    EXPECT_EQ(Names(catalog),
              (std::vector<std::string>{"FILE180501_120000.MOV", "FILE180501_120300.AVI"}));
    // Visited: the MOV, notes.txt, the rejected MOV and the AVI.
    EXPECT_EQ(catalog.visited(), 4);
    EXPECT_EQ(counter.counts, (std::vector<int>{0, 1, 2, 3}));
    const ClipEntry& movie = catalog.entries()[0];
    EXPECT_EQ(movie.rootFolder, card.str() + "/");
    EXPECT_EQ(movie.subFolder, "DCIM/MOVIE/");
    EXPECT_EQ(catalog.FullPath(0), card.str() + "//DCIM/MOVIE//FILE180501_120000.MOV");
    EXPECT_EQ(catalog.entries()[1].subFolder, "");
    EXPECT_TRUE(fs::exists(catalog.FullPath(1)));
}

// Every file named like a recording that the scan leaves out is named with
// its reason; hidden files and other names stay silent.
TEST(LoadTest, ScanRecordsEveryRejectedRecordingWithItsReason) {
    TempFolder card;
    WriteRecording(card.path() / "FILE180501_120000.MOV", 12, 0, 0);
    std::ofstream(card.path() / "EMPT180501_120100.MOV");
    std::ofstream(card.path() / "JUNK180501_120200.AVI") << "RIFF but not much more";
    ASSERT_EQ(::mkfifo((card.path() / "FIFO180501_120300.MOV").c_str(), 0600), 0);
    fs::create_symlink(card.path() / "FILE180501_120000.MOV",
                       card.path() / "LINK180501_120400.MOV");
    std::ofstream(card.path() / ".HIDE180501_120500.MOV");
    std::ofstream(card.path() / "notes.txt");

    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);
    EXPECT_EQ(catalog.Count(), 1);
    std::map<std::string, std::string> reasons;
    for (const SkippedFile& file : catalog.skipped()) {
        reasons[fs::path(file.path).filename().string()] = SkipReasonText(file);
        EXPECT_TRUE(fs::equivalent(fs::path(file.path).parent_path(), card.path())) << file.path;
    }
    EXPECT_EQ(reasons, (std::map<std::string, std::string>{
                           {"EMPT180501_120100.MOV", "empty file"},
                           {"FIFO180501_120300.MOV", "not a regular file"},
                           {"JUNK180501_120200.AVI", "not a readable recording"},
                           {"LINK180501_120400.MOV", "not a regular file"},
                       }));

    // File mode names the one chosen file; a new load forgets the old list.
    ASSERT_EQ(catalog.Load(card.str(), "FIFO180501_120300.MOV"), 1);
    EXPECT_EQ(catalog.Count(), 0);
    ASSERT_EQ(catalog.skipped().size(), 1u);
    EXPECT_EQ(catalog.skipped()[0].reason, SkipReason::kNotRegularFile);
    ASSERT_EQ(catalog.Load(card.str(), "FILE180501_120000.MOV"), 1);
    EXPECT_TRUE(catalog.skipped().empty());
}

TEST(LoadTest, DescendsAtMostFortyFoldersDeep) {
    TempFolder card;
    fs::path deep = card.path();
    for (int depth = 1; depth <= 41; ++depth) {
        deep /= "D";
        if (depth == 39) WriteRecording(deep / "FILE180501_120000.MOV", 12, 0, 0);
        if (depth == 40) WriteRecording(deep / "FILE180501_130000.MOV", 13, 0, 0);
    }
    fs::create_directories(deep);
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str() + "/", ""), 1);
    EXPECT_EQ(Names(catalog), (std::vector<std::string>{"FILE180501_120000.MOV"}));
    EXPECT_EQ(catalog.entries()[0].rootFolder, card.str() + "/");
}

TEST(LoadTest, MissingFolderOrFileFailsWithAnEmptyCatalogue) {
    TempFolder card;
    WriteRecording(card.path() / "FILE180501_120000.MOV", 12, 0, 0);
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);
    EXPECT_EQ(catalog.Count(), 1);
    EXPECT_EQ(catalog.Load(card.str() + "/nowhere", ""), 0);
    EXPECT_EQ(catalog.Count(), 0);
    EXPECT_EQ(catalog.Load(card.str(), "FILE180501_999999.MOV"), 0);
    EXPECT_EQ(catalog.Load(card.str() + "/FILE180501_120000.MOV", ""), 0);
    EXPECT_EQ(catalog.Count(), 0);
}

TEST(LoadTest, FileModeTakesAnyNameAndSetsFlagsFromNameAndPermissions) {
    TempFolder card;
    WriteRecording(card.path() / "odG.mov", 12, 0, 0);
    ::chmod((card.path() / "odG.mov").c_str(), 0444);
    std::ofstream(card.path() / "junk.MOV") << "junk";
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str(), "odG.mov"), 1);
    ASSERT_EQ(catalog.Count(), 1);
    const ClipEntry& entry = catalog.entries()[0];
    EXPECT_EQ(entry.rootFolder, card.str() + "/");
    EXPECT_EQ(entry.subFolder, "");
    EXPECT_EQ(entry.flags, kClipReadOnly);  // character 3 does not exist
    EXPECT_EQ(catalog.groups().size(), 1u);

    ASSERT_EQ(catalog.Load(card.str() + "/", "junk.MOV"), 1);  // rejected by the parser
    EXPECT_EQ(catalog.Count(), 0);

    WriteRecording(card.path() / "EMEG180501_120000.MOV", 12, 0, 0);
    ASSERT_EQ(catalog.Load(card.str(), "EMEG180501_120000.MOV"), 1);
    EXPECT_EQ(catalog.entries()[0].flags, kClipLocked);
}

TEST(SortTest, OrdersByTimeKeyOrByWholeName) {
    TempFolder card;
    WriteRecording(card.path() / "MANU180501_120200.MOV", 12, 2, 0);
    WriteRecording(card.path() / "EMER180501_120100.MOV", 12, 1, 0);
    WriteRecording(card.path() / "NORM180501_120000.MOV", 12, 0, 0);
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);
    const std::vector<std::string> by_time = {"NORM180501_120000.MOV", "EMER180501_120100.MOV",
                                              "MANU180501_120200.MOV"};
    EXPECT_EQ(Names(catalog), by_time);

    catalog.SelectFile(1);
    catalog.Sort(true, true);
    EXPECT_EQ(catalog.selected(), -1);
    EXPECT_EQ(Names(catalog),
              (std::vector<std::string>{"EMER180501_120100.MOV", "MANU180501_120200.MOV",
                                        "NORM180501_120000.MOV"}));
    catalog.Sort(false, false);
    EXPECT_EQ(Names(catalog),
              (std::vector<std::string>{"MANU180501_120200.MOV", "EMER180501_120100.MOV",
                                        "NORM180501_120000.MOV"}));
    // The rows follow the entries; groups come from the existing marks.
    EXPECT_EQ(catalog.rows().size(), 3u);
    EXPECT_EQ(catalog.groups()[0].first, 0);
    catalog.Sort(false, true);
    EXPECT_EQ(Names(catalog), by_time);
}

TEST(SortTest, NameDescendingThenTimeAscendingRestoresTheLoadOrder) {
    TempFolder card;
    for (int minute = 0; minute < 6; ++minute) {
        WriteRecording(card.path() / ("FILE180501_12" + std::to_string(10 + minute) + "00.MOV"), 12,
                       10 + minute, 0);
    }
    CClipCatalog catalog;
    ASSERT_EQ(catalog.Load(card.str(), ""), 1);
    const std::vector<std::string> loaded = Names(catalog);
    catalog.Sort(true, false);
    EXPECT_EQ(Names(catalog).front(), loaded.back());
    catalog.Sort(false, true);
    EXPECT_EQ(Names(catalog), loaded);
    EXPECT_EQ(catalog.groups().size(), 1u);
}

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteRecording(card_.path() / "FILE180501_120000.MOV", 12, 0, 0);
        WriteRecording(card_.path() / "FILE180501_120100.MOV", 12, 1, 0);
        WriteRecording(card_.path() / "FILE180501_130000.MOV", 13, 0, 0);
        catalog_.Bind(&files_, nullptr, nullptr, nullptr);
        catalog_.BindGroupList(&groups_);
        ASSERT_EQ(catalog_.Load(card_.str(), ""), 1);
        log_.clear();
    }

    TempFolder card_;
    CallLog log_;
    FakeFileList files_{&log_};
    FakeGroupList groups_{&log_};
    CClipCatalog catalog_;
};

TEST_F(SelectionTest, SelectFileMarksAndScrollsBothRows) {
    EXPECT_EQ(catalog_.GroupOfSelected(), -1);
    EXPECT_EQ(catalog_.SelectedIndex(), -1);
    EXPECT_EQ(catalog_.SelectedPictureSize(nullptr, nullptr), 0);
    ASSERT_EQ(catalog_.SelectFile(2), 1);
    EXPECT_EQ(catalog_.selected_group(), 1);
    // The group mark starts on group 0 (the current group after a load).
    EXPECT_EQ(log_, (CallLog{"group.mark 0 off", "group.mark 1 on", "group.show 1",
                             "file.mark 2 on", "file.show 2"}));
    log_.clear();
    ASSERT_EQ(catalog_.SelectFile(1), 1);
    EXPECT_EQ(catalog_.GroupOfSelected(), 0);
    EXPECT_EQ(log_, (CallLog{"group.mark 1 off", "file.mark 2 off", "group.mark 0 on",
                             "group.show 0", "file.mark 1 on", "file.show 1"}));
    EXPECT_EQ(files_.marks, (std::set<int>{1}));

    EXPECT_EQ(catalog_.SelectFile(3), 0);
    EXPECT_EQ(catalog_.SelectFile(-1), 0);
    EXPECT_EQ(catalog_.selected(), 1);

    int width = 0;
    int height = 0;
    EXPECT_EQ(catalog_.SelectedPictureSize(&width, &height), 1);
    EXPECT_EQ(width, 1920);
    EXPECT_EQ(height, 1080);
    EXPECT_EQ(catalog_.SelectedPath(), catalog_.FullPath(1));
}

TEST_F(SelectionTest, SelectGroupSelectsItsFirstEntryWithoutScrolling) {
    ASSERT_EQ(catalog_.SelectGroup(1), 1);
    EXPECT_EQ(catalog_.selected(), 2);
    EXPECT_EQ(log_, (CallLog{"group.mark 0 off", "group.mark 1 on", "file.mark 2 on"}));
    EXPECT_EQ(catalog_.SelectGroup(2), 0);
    EXPECT_EQ(catalog_.SelectGroup(-1), 0);
    EXPECT_EQ(catalog_.selected(), 2);
}

TEST_F(SelectionTest, SelectedIndexIsLoweredToTheLastEntry) {
    ASSERT_EQ(catalog_.SelectFile(2), 1);
    groups_.checked = {1};
    ASSERT_EQ(catalog_.DeleteChecked(), 1);
    ASSERT_EQ(catalog_.Count(), 2);
    EXPECT_EQ(catalog_.selected(), 2);
    EXPECT_EQ(catalog_.SelectedIndex(), 1);
    EXPECT_EQ(catalog_.selected(), 1);
}

TEST_F(SelectionTest, ReadCheckMarksCopiesTheTicksAndNeedsABoundGroupList) {
    EXPECT_EQ(catalog_.ReadCheckMarks(), 0);
    groups_.checked = {1};
    EXPECT_EQ(catalog_.ReadCheckMarks(), 1);
    EXPECT_EQ(catalog_.groups()[0].checked, 0);
    EXPECT_EQ(catalog_.groups()[1].checked, 1);
    catalog_.BindGroupList(nullptr);
    EXPECT_EQ(catalog_.ReadCheckMarks(), 0);
    EXPECT_EQ(catalog_.groups()[1].checked, 0);
}

TEST_F(SelectionTest, ResetEmptiesCatalogueAndViews) {
    CallLog glog;
    FakeGSensor graph(&glog);
    catalog_.Bind(&files_, &graph, nullptr, nullptr);
    EXPECT_EQ(catalog_.Count(), 0);  // Bind clears the entries
    ASSERT_EQ(catalog_.Load(card_.str(), ""), 1);
    EXPECT_EQ(files_.rows.size(), 3u);
    catalog_.Reset();
    EXPECT_EQ(catalog_.Count(), 0);
    EXPECT_TRUE(catalog_.groups().empty());
    EXPECT_TRUE(files_.rows.empty());
    EXPECT_TRUE(groups_.rows.empty());
    EXPECT_EQ(catalog_.SelectedIndex(), -1);
    EXPECT_EQ(catalog_.FullPath(0), "");
}

}  // namespace
}  // namespace orvo
