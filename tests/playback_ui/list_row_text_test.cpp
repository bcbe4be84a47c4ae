#include "library/list_row_text.h"

#include <gtest/gtest.h>

#include "library/column_widths.h"
#include "library/picture_size_name.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

TEST(FileTimeTextTest, BuildsTimeFromNameCharacters) {
    EXPECT_EQ(FileTimeText("EMER180501_120000.MOV"), "2018-05-01 12:00:00");
    EXPECT_EQ(FileTimeText("NORG191231-235958.AVI"), "2019-12-31 23:59:58");
    // The separator at position 10 is not part of the text.
    EXPECT_EQ(FileTimeText("MANU200229X010203.MOV"), "2020-02-29 01:02:03");
}

TEST(FileTimeTextTest, NameTooShortGivesEmptyText) {
    EXPECT_EQ(FileTimeText("EMER180501_12000"), "");  // 16 characters
    EXPECT_EQ(FileTimeText("SHORT.MOV"), "");
    EXPECT_EQ(FileTimeText(""), "");
    EXPECT_EQ(FileTimeText("EMER180501_120000"), "2018-05-01 12:00:00");  // exactly 17
}

TEST(FileTypeTextTest, PrefixDecidesType) {
    struct Row {
        const char* name;
        int id;
    };
    const Row rows[] = {
        {"EMER180501_120000.MOV", kTypeEventStringId},
        {"MANU180501_120000.MOV", kTypeManualStringId},
        {"NORG180501_120000.AVI", kTypeNormalStringId},
        {"XEMER80501_120000.MOV", kTypeNormalStringId},  // EMER at position 1
        {"emer180501_120000.MOV", kTypeNormalStringId},  // case-sensitive
        {"EME", kTypeNormalStringId},
        {"", kTypeNormalStringId},
    };
    for (const Row& row : rows) EXPECT_EQ(FileTypeStringId(row.name), row.id) << row.name;
}

TEST(RowToolTipTextTest, CellTextAndRowNoteABlankLineApart) {
    EXPECT_EQ(RowToolTipText("2018-05-01 12:00:00", "Trip of one recording"),
              "2018-05-01 12:00:00\n\nTrip of one recording");
    EXPECT_EQ(RowToolTipText("", "Trip of one recording"), "Trip of one recording");
    EXPECT_EQ(RowToolTipText("EMER180501_120000.MOV", ""), "EMER180501_120000.MOV");
    EXPECT_EQ(RowToolTipText("", ""), "");
}

TEST(ColumnWidthsTest, SharesOfTheListUntilTheUserSetsAWidth) {
    ColumnWidths widths({32, 38, 24});
    EXPECT_EQ(widths.For(301), (std::vector<int>{96, 114, 72})) << "truncated toward zero";
    EXPECT_EQ(widths.For(0), (std::vector<int>{0, 0, 0}));

    widths.SetByUser(1, 250);
    EXPECT_TRUE(widths.IsSetByUser(1));
    EXPECT_FALSE(widths.IsSetByUser(0));
    // The user's column keeps its width whatever the list's; the others
    // still follow the list.
    EXPECT_EQ(widths.For(301), (std::vector<int>{96, 250, 72}));
    EXPECT_EQ(widths.For(600), (std::vector<int>{192, 250, 144}));
    widths.SetByUser(1, 40);  // narrowed again: also the user's
    EXPECT_EQ(widths.For(600)[1], 40);

    widths.SetByUser(3, 10);   // no such column
    widths.SetByUser(-1, 10);  // nor this
    widths.SetByUser(0, -5);   // not a width
    EXPECT_FALSE(widths.IsSetByUser(0));
    EXPECT_FALSE(widths.IsSetByUser(3));
    EXPECT_EQ(widths.For(100).size(), 3u);
}

TEST(GroupRowTextTest, DurationAndSizeKeepTheirBlanks) {
    EXPECT_EQ(GroupDurationText(3'600'500), " 3600 s ");
    EXPECT_EQ(GroupDurationText(999), " 0 s ");
    EXPECT_EQ(GroupSizeText(1'610'612'736), " 1536 MB");
    EXPECT_EQ(GroupSizeText((1ull << 20) - 1), " 0 MB");
    // Sizes beyond 4 GiB must not wrap.
    EXPECT_EQ(GroupSizeText(10ull << 30), " 10240 MB");
    EXPECT_EQ(GroupDurationText(UINT64_C(18446744073709551615)), " 18446744073709551 s ");
}

TEST(GroupRowTextTest, StartTimeIsLocalTime) {
    test_support::UseTimeZone("UTC");
    EXPECT_EQ(GroupStartTimeText(1'525'176'000), "2018-05-01 12:00:00");
    test_support::UseTimeZone("JST-9");
    EXPECT_EQ(GroupStartTimeText(1'525'176'000), "2018-05-01 21:00:00");
}

TEST(PictureSizeNameTest, NamedSizesAndFallbacks) {
    struct Row {
        int width;
        int height;
        const char* name;
    };
    const Row rows[] = {
        {2048, 1600, "QXGA"},
        {2048, 1536, "QXGA"},
        {1920, 1080, "FHD"},
        {1600, 1200, "UXGA"},
        {1280, 1024, "SXGA"},
        {1280, 720, "HD"},
        {1152, 870, "MAC"},
        {1024, 768, "XGA"},
        {800, 600, "SVGA"},
        {720, 480, "480P"},
        {640, 480, "VGA"},
        {320, 240, "CIF"},
        {1440, 1080, "1440x1080"},
        {1080, 1920, "1080x1920"},  // turned sizes are not named
        {0, 1080, ""},
        {1920, 0, ""},
        {0, 0, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PictureSizeName(row.height, row.width), row.name)
            << row.width << "x" << row.height;
    }
}

}  // namespace
}  // namespace orvo
