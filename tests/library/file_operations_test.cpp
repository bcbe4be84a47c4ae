#include "library/file_operations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "library/clip_catalog.h"
#include "tests/library/card_files.h"
#include "tests/library/fake_views.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::CallLog;
using testing::FakeFileList;
using testing::FakeGroupList;
using testing::FakePanel;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteRecording;

const bool kZoneSet = test_support::PinTimeZone("UTC0");

bool IsWritable(const fs::path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
}

std::vector<std::string> FolderListing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        names.push_back(fs::relative(item.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(MakeFolderTreeTest, CreatesEveryMissingParent) {
    TempFolder root;
    const std::string path = root.str() + "/a/b/c";
    EXPECT_TRUE(MakeFolderTree(path));
    EXPECT_TRUE(fs::is_directory(path));
    // Exists already: the last creation fails, nothing else happens.
    EXPECT_FALSE(MakeFolderTree(path + "/"));
    EXPECT_TRUE(MakeFolderTree(root.str() + "//a//d/"));
    EXPECT_TRUE(fs::is_directory(root.path() / "a/d"));
    std::ofstream(root.path() / "file") << "x";
    EXPECT_FALSE(MakeFolderTree(root.str() + "/file/sub"));
}

TEST(RenameNoReplaceTest, NeverReplacesAnExistingFile) {
    TempFolder root;
    std::ofstream(root.path() / "a") << "A";
    std::ofstream(root.path() / "b") << "B";
    EXPECT_FALSE(RenameNoReplace(root.str() + "/a", root.str() + "/b"));
    EXPECT_EQ(ReadAll(root.path() / "a"), "A");
    EXPECT_EQ(ReadAll(root.path() / "b"), "B");
    EXPECT_TRUE(RenameNoReplace(root.str() + "/a", root.str() + "/c"));
    EXPECT_EQ(ReadAll(root.path() / "c"), "A");
    EXPECT_FALSE(fs::exists(root.path() / "a"));
}

TEST(CopyFileAtomicallyTest, CopiesReplacesAndRefusesItself) {
    TempFolder root;
    std::ofstream(root.path() / "src") << std::string(3 << 20, 'x') + "end";
    ::chmod((root.path() / "src").c_str(), 0444);
    EXPECT_TRUE(CopyFileAtomically(root.str() + "/src", root.str() + "/dst"));
    EXPECT_EQ(ReadAll(root.path() / "dst"), ReadAll(root.path() / "src"));
    EXPECT_FALSE(IsWritable(root.path() / "dst"));  // attributes travel with the copy
    EXPECT_FALSE(CopyFileAtomically(root.str() + "/src", root.str() + "//src"));
    EXPECT_EQ(ReadAll(root.path() / "src").size(), (3u << 20) + 3);
    EXPECT_FALSE(CopyFileAtomically(root.str() + "/missing", root.str() + "/dst2"));
    EXPECT_FALSE(CopyFileAtomically(root.str() + "/src", root.str() + "/nofolder/dst"));
    EXPECT_EQ(FolderListing(root.path()), (std::vector<std::string>{"dst", "src"}));
}

// A card of two groups: G0 = A (read-only) + B (locked), G1 = C (locked,
// event), every recording in DCIM/MOVIE or DCIM/EVENT.
class FileOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_120000.MOV", 12, 0, 0);
        WriteRecording(card_.path() / "DCIM/MOVIE/FILG180501_120100.MOV", 12, 1, 0);
        WriteRecording(card_.path() / "DCIM/EVENT/EMEG180501_130000.MOV", 13, 0, 0);
        ::chmod(Path("DCIM/MOVIE/FILE180501_120000.MOV").c_str(), 0444);
        catalog_.Bind(&files_, nullptr, nullptr, &panel_);
        catalog_.BindGroupList(&groups_);
        ASSERT_EQ(catalog_.Load(card_.str(), ""), 1);
        ASSERT_EQ(catalog_.groups().size(), 2u);
        log_.clear();
    }

    fs::path Path(const std::string& relative) const { return card_.path() / relative; }

    TempFolder card_;
    CallLog log_;
    FakeFileList files_{&log_};
    FakeGroupList groups_{&log_};
    FakePanel panel_{&log_};
    CClipCatalog catalog_;
};

TEST_F(FileOperationsTest, NothingTickedTouchesNoFile) {
    TempFolder target;
    const auto before = FolderListing(card_.path());
    EXPECT_EQ(catalog_.DeleteChecked(), 0);
    EXPECT_EQ(catalog_.UnlockChecked(), 0);
    EXPECT_EQ(catalog_.CopyChecked(target.str(), &panel_), 0);
    EXPECT_TRUE(FolderListing(target.path()).empty());
    EXPECT_EQ(FolderListing(card_.path()), before);
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(catalog_.Count(), 3);
}

TEST_F(FileOperationsTest, DeleteRemovesReadOnlyRecordingsAndRegroups) {
    groups_.checked = {0};
    ASSERT_EQ(catalog_.DeleteChecked(), 1);
    EXPECT_FALSE(fs::exists(Path("DCIM/MOVIE/FILE180501_120000.MOV")));
    EXPECT_FALSE(fs::exists(Path("DCIM/MOVIE/FILG180501_120100.MOV")));
    ASSERT_EQ(catalog_.Count(), 1);
    EXPECT_EQ(catalog_.entries()[0].fileName, "EMEG180501_130000.MOV");
    ASSERT_EQ(catalog_.groups().size(), 1u);
    EXPECT_EQ(catalog_.rows().size(), 1u);
    EXPECT_EQ(files_.rows, (std::vector<std::string>{"EMEG180501_130000.MOV"}));
    EXPECT_EQ(groups_.rows.size(), 1u);

    groups_.checked = {0};
    ASSERT_EQ(catalog_.DeleteChecked(), 1);
    EXPECT_EQ(catalog_.Count(), 0);
    EXPECT_TRUE(catalog_.groups().empty());
    EXPECT_TRUE(files_.rows.empty());
}

TEST_F(FileOperationsTest, FailedDeletionsLeaveCatalogueFilesAndViewsAlone) {
    // A read-only recording that another program replaced by a folder, and
    // one that vanished: neither can be deleted.
    const fs::path a = Path("DCIM/MOVIE/FILE180501_120000.MOV");
    ::chmod(a.c_str(), 0644);
    fs::remove(a);
    fs::create_directory(a);
    ::chmod(a.c_str(), 0555);
    fs::remove(Path("DCIM/MOVIE/FILG180501_120100.MOV"));
    groups_.checked = {0};
    ASSERT_EQ(catalog_.DeleteChecked(), 1);
    EXPECT_EQ(catalog_.Count(), 3);
    EXPECT_EQ(catalog_.groups().size(), 2u);
    EXPECT_TRUE(log_.empty());
    EXPECT_TRUE(fs::is_directory(a));
    EXPECT_FALSE(IsWritable(a));  // its read-only attribute is restored
}

TEST_F(FileOperationsTest, UnlockRenamesLockedAndClearsReadOnly) {
    groups_.checked = {0, 1};
    ASSERT_EQ(catalog_.UnlockChecked(), 1);
    EXPECT_TRUE(IsWritable(Path("DCIM/MOVIE/FILE180501_120000.MOV")));
    EXPECT_TRUE(fs::exists(Path("DCIM/MOVIE/FIL_180501_120100.MOV")));
    EXPECT_FALSE(fs::exists(Path("DCIM/MOVIE/FILG180501_120100.MOV")));
    EXPECT_TRUE(fs::exists(Path("DCIM/EVENT/EME_180501_130000.MOV")));
    EXPECT_EQ(catalog_.entries()[0].fileName, "FILE180501_120000.MOV");  // only read-only
    EXPECT_EQ(catalog_.entries()[1].fileName, "FIL_180501_120100.MOV");
    for (const ClipEntry& entry : catalog_.entries()) EXPECT_EQ(entry.flags, 0);
    for (const ClipGroup& group : catalog_.groups()) EXPECT_EQ(group.flags, 0);
    // Views refilled from the existing groups, no regrouping.
    EXPECT_EQ(files_.rows[2], "EME_180501_130000.MOV");
    EXPECT_EQ(groups_.rows.size(), 2u);
    EXPECT_EQ(catalog_.FullPath(2), card_.str() + "//DCIM/EVENT//EME_180501_130000.MOV");
}

TEST_F(FileOperationsTest, UnlockNeverReplacesAnExistingFile) {
    std::ofstream(Path("DCIM/EVENT/EME_180501_130000.MOV")) << "other recording";
    groups_.checked = {1};
    ASSERT_EQ(catalog_.UnlockChecked(), 1);
    EXPECT_EQ(ReadAll(Path("DCIM/EVENT/EME_180501_130000.MOV")), "other recording");
    EXPECT_TRUE(fs::exists(Path("DCIM/EVENT/EMEG180501_130000.MOV")));
    EXPECT_EQ(catalog_.entries()[2].fileName, "EMEG180501_130000.MOV");
    EXPECT_EQ(catalog_.entries()[2].flags, kClipLocked);
    // The group keeps the mark of what is still locked.
    EXPECT_EQ(catalog_.groups()[1].flags, kClipLocked);
}

TEST_F(FileOperationsTest, CopyRecreatesSubFoldersAndReportsProgress) {
    TempFolder target;
    groups_.checked = {0, 1};
    std::vector<std::string> failed;
    ASSERT_EQ(catalog_.CopyChecked(target.str() + "/Backup", &panel_, &failed), 1);
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(
        FolderListing(target.path()),
        (std::vector<std::string>{"Backup", "Backup/DCIM", "Backup/DCIM/EVENT",
                                  "Backup/DCIM/EVENT/EMEG180501_130000.MOV", "Backup/DCIM/MOVIE",
                                  "Backup/DCIM/MOVIE/FILE180501_120000.MOV",
                                  "Backup/DCIM/MOVIE/FILG180501_120100.MOV"}));
    EXPECT_EQ(ReadAll(target.path() / "Backup/DCIM/EVENT/EMEG180501_130000.MOV"),
              ReadAll(Path("DCIM/EVENT/EMEG180501_130000.MOV")));
    EXPECT_EQ(panel_.progress, (std::vector<int>{0, 33, 66, 100}));
    EXPECT_EQ(log_, (CallLog{"board.show", "board.hide"}));
    EXPECT_TRUE(panel_.asked.empty());
}

TEST_F(FileOperationsTest, CancelledOverwriteStillReachesFullProgress) {
    TempFolder target;
    const fs::path existing = target.path() / "DCIM/EVENT/EMEG180501_130000.MOV";
    fs::create_directories(existing.parent_path());
    std::ofstream(existing) << "keep me";
    panel_.overwrite = false;
    groups_.checked = {0, 1};
    std::vector<std::string> failed;
    ASSERT_EQ(catalog_.CopyChecked(target.str(), &panel_, &failed), 1);
    EXPECT_EQ(panel_.asked,
              (std::vector<std::string>{target.str() + "/DCIM/EVENT//EMEG180501_130000.MOV"}));
    EXPECT_EQ(ReadAll(existing), "keep me");
    EXPECT_EQ(panel_.progress.back(), 100);
    EXPECT_TRUE(failed.empty());

    panel_.overwrite = true;
    ASSERT_EQ(catalog_.CopyChecked(target.str(), &panel_, &failed), 1);
    EXPECT_EQ(ReadAll(existing), ReadAll(Path("DCIM/EVENT/EMEG180501_130000.MOV")));
    // Without anyone to ask, existing files are kept.
    std::ofstream(existing) << "keep me";
    ASSERT_EQ(catalog_.CopyChecked(target.str()), 1);
    EXPECT_EQ(ReadAll(existing), "keep me");
}

TEST_F(FileOperationsTest, CopyOntoTheCardItselfIsSkippedWithoutAsking) {
    groups_.checked = {1};
    std::vector<std::string> failed;
    const std::string before = ReadAll(Path("DCIM/EVENT/EMEG180501_130000.MOV"));
    ASSERT_EQ(catalog_.CopyChecked(card_.str(), &panel_, &failed), 1);
    EXPECT_TRUE(panel_.asked.empty());
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(ReadAll(Path("DCIM/EVENT/EMEG180501_130000.MOV")), before);
    EXPECT_EQ(FolderListing(Path("DCIM/EVENT")),
              (std::vector<std::string>{"EMEG180501_130000.MOV"}));
}

TEST_F(FileOperationsTest, FailedCopiesAreListedAndLeaveNoPartialFile) {
    TempFolder target;
    fs::remove(Path("DCIM/MOVIE/FILG180501_120100.MOV"));
    // A folder where the file should go: the final rename fails.
    fs::create_directories(target.path() / "DCIM/EVENT/EMEG180501_130000.MOV/x");
    groups_.checked = {0, 1};
    std::vector<std::string> failed;
    ASSERT_EQ(catalog_.CopyChecked(target.str(), &panel_, &failed), 1);
    EXPECT_EQ(failed, (std::vector<std::string>{catalog_.FullPath(1), catalog_.FullPath(2)}));
    EXPECT_EQ(FolderListing(target.path()),
              (std::vector<std::string>{"DCIM", "DCIM/EVENT", "DCIM/EVENT/EMEG180501_130000.MOV",
                                        "DCIM/EVENT/EMEG180501_130000.MOV/x", "DCIM/MOVIE",
                                        "DCIM/MOVIE/FILE180501_120000.MOV"}));
    EXPECT_EQ(panel_.progress.back(), 100);
    EXPECT_EQ(catalog_.Count(), 3);
}

TEST_F(FileOperationsTest, TicksTravelWithTheirEntriesAndEndWithLoadOrReset) {
    ASSERT_EQ(catalog_.SetTicked(0, true), 1);  // FILE180501_120000
    EXPECT_EQ(catalog_.SetTicked(3, true), 0);
    EXPECT_EQ(files_.ticked, (std::set<int>{0}));
    // By name, descending: FILG, FILE, EMEG.
    catalog_.Sort(true, false);
    EXPECT_EQ(catalog_.entries()[1].fileName, "FILE180501_120000.MOV");
    EXPECT_TRUE(catalog_.IsTicked(1));
    EXPECT_FALSE(catalog_.IsTicked(0));
    catalog_.RefillFileList();
    EXPECT_EQ(files_.ticked, (std::set<int>{1}));
    EXPECT_EQ(catalog_.TickedCount(), 1);

    ASSERT_EQ(catalog_.Load(card_.str(), ""), 1);
    EXPECT_EQ(catalog_.TickedCount(), 0);
    EXPECT_TRUE(files_.ticked.empty());
    catalog_.SetTicked(2, true);
    catalog_.Reset();
    EXPECT_EQ(catalog_.TickedCount(), 0);
    EXPECT_TRUE(files_.ticked.empty());
}

TEST_F(FileOperationsTest, TheTripTickAddsItsGroupAndGroupTicksStillCount) {
    ASSERT_EQ(catalog_.TickGroupOf(1), 1);
    EXPECT_EQ(catalog_.ChosenEntries(), (std::vector<int>{0, 1}));
    EXPECT_EQ(files_.ticked, (std::set<int>{0, 1}));
    groups_.checked = {1};
    EXPECT_EQ(catalog_.ChosenEntries(), (std::vector<int>{0, 1, 2}));
    catalog_.UntickAll();
    EXPECT_TRUE(files_.ticked.empty());
    EXPECT_EQ(catalog_.ChosenEntries(), (std::vector<int>{2}));
    EXPECT_EQ(catalog_.TickGroupOf(-1), 0);
}

TEST_F(FileOperationsTest, OperationsActOnTheTickedRecordingsAfterASort) {
    // By name, descending: FILG (locked), FILE (read-only), EMEG (locked).
    catalog_.Sort(true, false);
    catalog_.RefillFileList();
    catalog_.SetTicked(0, true);
    catalog_.SetTicked(2, true);

    TempFolder target;
    ASSERT_EQ(catalog_.CopyChecked(target.str(), &panel_), 1);
    EXPECT_EQ(FolderListing(target.path()),
              (std::vector<std::string>{"DCIM", "DCIM/EVENT", "DCIM/EVENT/EMEG180501_130000.MOV",
                                        "DCIM/MOVIE", "DCIM/MOVIE/FILG180501_120100.MOV"}));
    EXPECT_EQ(panel_.progress, (std::vector<int>{0, 50, 100}));

    ASSERT_EQ(catalog_.UnlockChecked(), 1);
    EXPECT_TRUE(fs::exists(Path("DCIM/MOVIE/FIL_180501_120100.MOV")));
    EXPECT_TRUE(fs::exists(Path("DCIM/EVENT/EME_180501_130000.MOV")));
    EXPECT_FALSE(IsWritable(Path("DCIM/MOVIE/FILE180501_120000.MOV")));  // not ticked
    EXPECT_EQ(files_.ticked, (std::set<int>{0, 2}));                     // refilled with the ticks

    ASSERT_EQ(catalog_.DeleteChecked(), 1);
    EXPECT_FALSE(fs::exists(Path("DCIM/MOVIE/FIL_180501_120100.MOV")));
    EXPECT_FALSE(fs::exists(Path("DCIM/EVENT/EME_180501_130000.MOV")));
    ASSERT_EQ(catalog_.Count(), 1);
    EXPECT_EQ(catalog_.entries()[0].fileName, "FILE180501_120000.MOV");
    EXPECT_EQ(catalog_.TickedCount(), 0);
    EXPECT_EQ(catalog_.DeleteChecked(), 0);
}

TEST_F(FileOperationsTest, RecordingsThatSurviveADeleteKeepTheirTicks) {
    // The event recording became a folder: it cannot be deleted.
    const fs::path event = Path("DCIM/EVENT/EMEG180501_130000.MOV");
    fs::remove(event);
    fs::create_directory(event);
    catalog_.SetTicked(1, true);
    catalog_.SetTicked(2, true);
    ASSERT_EQ(catalog_.DeleteChecked(), 1);
    ASSERT_EQ(catalog_.Count(), 2);
    EXPECT_EQ(catalog_.entries()[1].fileName, "EMEG180501_130000.MOV");
    EXPECT_FALSE(catalog_.IsTicked(0));
    EXPECT_TRUE(catalog_.IsTicked(1));
    EXPECT_EQ(files_.ticked, (std::set<int>{1}));
}

}  // namespace
}  // namespace orvo
