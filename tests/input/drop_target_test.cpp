#include "app/drop_target.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace orvo {
namespace {

namespace fs = std::filesystem;

TEST(DropTargetTest, FirstFolderOrRecordingWins) {
    const fs::path root = fs::temp_directory_path() / ("orvo-drop-" + std::to_string(::getpid()));
    fs::create_directories(root / "CARD");
    std::ofstream(root / "NORM180501_120000.MOV") << "x";
    std::ofstream(root / "notes.txt") << "x";
    const std::string card = (root / "CARD").string();
    const std::string clip = (root / "NORM180501_120000.MOV").string();
    const std::string text = (root / "notes.txt").string();
    const std::string missing = (root / "gone").string();

    EXPECT_EQ(DroppedPathToOpen({card}), card);
    EXPECT_EQ(DroppedPathToOpen({clip}), clip);
    EXPECT_EQ(DroppedPathToOpen({text, missing, clip, card}), clip) << "skips what it cannot open";
    EXPECT_EQ(DroppedPathToOpen({text}), std::nullopt);
    EXPECT_EQ(DroppedPathToOpen({missing, ""}), std::nullopt);
    EXPECT_EQ(DroppedPathToOpen({}), std::nullopt);
    // A link to a folder opens the folder.
    fs::create_directory_symlink(root / "CARD", root / "link");
    EXPECT_EQ(DroppedPathToOpen({(root / "link").string()}), (root / "link").string());
    fs::remove_all(root);
}

}  // namespace
}  // namespace orvo
