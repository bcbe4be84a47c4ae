#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>

#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "app/window_messages.h"
#include "library/file_list_ctrl.h"
#include "library/group_list_ctrl.h"
#include "tests/playback_ui/message_recorder.h"

namespace orvo {
namespace {

using test::MessageRecorder;
using Mark = CQorFileListCtrl::SortMark;

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

// Names in the catalogue's time order.
const char* const kNames[] = {
    "MANU180430_235959.MOV",
    "NORM180501_120000.MOV",
    "EMER180502_080000.MOV",
};

class FileListTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.resize(400, 300);
        list.SetupStyle();
        list.SetupColumns();
        list.SetMessageTarget(&window);
        int entry = 0;
        for (const char* name : kNames) {
            ASSERT_EQ(list.AddFile(entry++, "/card/DCIM/", name, ClipInfo{}), 1);
        }
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }

    void ClickHeading(int column) {
        QHeaderView* heading = list.header();
        const QPoint point(
            heading->sectionViewportPosition(column) + heading->sectionSize(column) / 2,
            heading->height() / 2);
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, point);
    }

    // Drags the right edge of column's heading by dx pixels, as a user does.
    void DragColumnEdge(int column, int dx) {
        QWidget* heading = list.header()->viewport();
        const int edge =
            list.header()->sectionViewportPosition(column) + list.header()->sectionSize(column) - 1;
        const QPointF from(edge, list.header()->height() / 2);
        const QPointF to = from + QPointF(dx, 0);
        QMouseEvent press(QEvent::MouseButtonPress, from, heading->mapToGlobal(from),
                          Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(heading, &press);
        QMouseEvent move(QEvent::MouseMove, to, heading->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(heading, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, heading->mapToGlobal(to),
                            Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(heading, &release);
    }

    // The tooltip the list shows when the mouse rests on a cell.
    QString ToolTipAt(int row, int column) {
        const QRect cell = list.visualRect(list.model()->index(row, column)).adjusted(2, 0, -2, 0);
        const QPoint at = cell.center();
        QHelpEvent help(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
        QApplication::sendEvent(list.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    QStringList Names() const {
        QStringList names;
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            names << list.topLevelItem(row)->text(1);
        }
        return names;
    }

    MessageRecorder window;
    CQorFileListCtrl list;
};

TEST_F(FileListTest, RowsShowTimeNameTypeAndEntryIndex) {
    ASSERT_EQ(list.topLevelItemCount(), 3);
    const QTreeWidgetItem* row = list.topLevelItem(2);
    EXPECT_EQ(row->text(0), "2018-05-02 08:00:00");
    EXPECT_EQ(row->text(1), "EMER180502_080000.MOV");
    EXPECT_EQ(row->text(2), Ui(153));
    EXPECT_EQ(list.topLevelItem(0)->text(2), Ui(154));
    EXPECT_EQ(list.topLevelItem(1)->text(2), Ui(155));
    EXPECT_EQ(list.EntryIndexOfRow(2), 2);
    EXPECT_EQ(list.EntryIndexOfRow(3), -1);
}

TEST_F(FileListTest, ColumnsTakeTheirShareOfTheWidthAndLocalisedHeadings) {
    EXPECT_EQ(list.columnWidth(0), 400 * 32 / 100);
    EXPECT_EQ(list.columnWidth(1), 400 * 38 / 100);
    EXPECT_EQ(list.columnWidth(2), 400 * 24 / 100);
    EXPECT_EQ(list.headerItem()->text(0), Ui(151));
    EXPECT_EQ(list.headerItem()->text(1), Ui(122));
    EXPECT_EQ(list.headerItem()->text(2), Ui(152));
}

TEST_F(FileListTest, RefreshHeadingsFollowsTheLanguageButLeavesRows) {
    CQorSettings& settings = CQorSettings::Instance();
    const int before = settings.language_index();
    const QString type_text = list.topLevelItem(2)->text(2);
    settings.SetLanguage(1);
    list.RefreshHeadings();
    EXPECT_EQ(list.headerItem()->text(0), QString::fromStdString(LoadUiStringFor(1, 151)));
    EXPECT_EQ(list.headerItem()->text(2), QString::fromStdString(LoadUiStringFor(1, 152)));
    settings.SetLanguage(0);
    EXPECT_EQ(list.topLevelItem(2)->text(2), type_text)
        << "rows keep their type texts until the next refill";
    list.RefreshHeadings();
    EXPECT_EQ(list.headerItem()->text(1), "File Name");
    settings.SetLanguage(before);
}

TEST_F(FileListTest, StartsWithDownMarkOnDateAndFirstClickSortsNewestFirst) {
    EXPECT_EQ(list.SortMarkOf(0), Mark::kDown);
    EXPECT_FALSE(list.ascending());

    ClickHeading(0);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].message, WM_SORT_CLIPS);
    EXPECT_EQ(window.messages[0].wparam, 0);
    EXPECT_EQ(window.messages[0].lparam, 0);
    EXPECT_EQ(Names(), QStringList({kNames[2], kNames[1], kNames[0]}));
    EXPECT_EQ(list.SortMarkOf(0), Mark::kUp);
    EXPECT_EQ(list.header()->sortIndicatorSection(), 0);
    EXPECT_EQ(list.header()->sortIndicatorOrder(), Qt::DescendingOrder);

    ClickHeading(0);
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[1].wparam, 0);
    EXPECT_EQ(window.messages[1].lparam, 1);
    EXPECT_EQ(Names(), QStringList({kNames[0], kNames[1], kNames[2]}));
    EXPECT_EQ(list.SortMarkOf(0), Mark::kDown);
    EXPECT_EQ(list.header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST_F(FileListTest, OtherColumnSortsAscendingByNameAndMovesTheMark) {
    ClickHeading(0);  // newest first
    ClickHeading(1);
    ASSERT_EQ(window.messages.size(), 2u);
    EXPECT_EQ(window.messages[1].wparam, 1);
    EXPECT_EQ(window.messages[1].lparam, 1);
    EXPECT_EQ(Names(), QStringList({kNames[2], kNames[0], kNames[1]}));
    EXPECT_EQ(list.SortMarkOf(0), Mark::kNone);
    EXPECT_EQ(list.SortMarkOf(1), Mark::kDown);
    EXPECT_EQ(list.header()->sortIndicatorSection(), 1);

    // The type column follows the catalogue, which sorts it by name.
    ClickHeading(2);
    EXPECT_EQ(window.messages[2].wparam, 2);
    EXPECT_EQ(window.messages[2].lparam, 1);
    EXPECT_EQ(Names(), QStringList({kNames[2], kNames[0], kNames[1]}));
    ClickHeading(2);
    EXPECT_EQ(window.messages[3].lparam, 0);
    EXPECT_EQ(Names(), QStringList({kNames[1], kNames[0], kNames[2]}));
    EXPECT_EQ(list.SortMarkOf(2), Mark::kUp);
}

TEST_F(FileListTest, RefusedSortLeavesRowsMarkAndDirection) {
    window.accept = false;
    ClickHeading(1);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(Names(), QStringList({kNames[0], kNames[1], kNames[2]}));
    EXPECT_EQ(list.SortMarkOf(0), Mark::kDown);
    EXPECT_EQ(list.header()->sortIndicatorSection(), 0);
    EXPECT_EQ(list.header()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(list.sort_column(), 0);
    EXPECT_FALSE(list.ascending());
}

TEST_F(FileListTest, ColumnsOutsideTheThreeAreIgnored) {
    list.SortByColumn(3);
    list.SortByColumn(-1);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(FileListTest, EqualKeysKeepTheirOrder) {
    list.DeleteAllItems();
    list.AddFile(0, "/a/", "NORM180501_120000.MOV", {});
    list.AddFile(1, "/b/", "EMER180501_120000.MOV", {});
    list.AddFile(2, "/c/", "MANU180501_120000.MOV", {});
    list.SortByColumn(0);  // descending by time key: all equal
    EXPECT_EQ(list.EntryIndexOfRow(0), 0);
    EXPECT_EQ(list.EntryIndexOfRow(1), 1);
    EXPECT_EQ(list.EntryIndexOfRow(2), 2);
}

TEST_F(FileListTest, DoubleClickSendsRowOrMinusOneBelowTheRows) {
    const QRect second = list.visualItemRect(list.topLevelItem(1));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second.center());
    const QPoint below(10, list.visualItemRect(list.topLevelItem(2)).bottom() + 30);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, below);
    std::vector<std::intptr_t> clicked;
    for (const auto& m : window.messages) {
        if (m.message == WM_FILE_CLICKED) clicked.push_back(m.wparam);
    }
    EXPECT_EQ(clicked, (std::vector<std::intptr_t>{1, -1}));
}

TEST_F(FileListTest, MarkedRowIsHighlightedAndUnmarkedAgain) {
    list.SetRowMarked(1, true);
    EXPECT_TRUE(list.IsRowMarked(1));
    EXPECT_FALSE(list.IsRowMarked(0));
    list.SetRowMarked(1, false);
    EXPECT_FALSE(list.IsRowMarked(1));
    list.SetRowMarked(7, true);  // no such row: nothing happens
}

TEST_F(FileListTest, PlayingRowIsBoldWithABarAndUnlikeTheSelectedRow) {
    list.SetRowMarked(0, true);
    const QRect selected_row = list.visualItemRect(list.topLevelItem(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      QPoint(list.columnWidth(0) + 20, selected_row.center().y()));
    ASSERT_TRUE(list.topLevelItem(1)->isSelected());
    EXPECT_FALSE(list.IsRowMarked(1)) << "a click selects, it does not play";

    const QImage picture = list.viewport()->grab().toImage();
    const QRect playing_row = list.visualItemRect(list.topLevelItem(0));
    // A spot without text or border: the right end of the type column.
    const int x = list.columnWidth(0) + list.columnWidth(1) + list.columnWidth(2) - 6;
    const QColor playing = picture.pixelColor(x, playing_row.center().y());
    const QColor selection = picture.pixelColor(x, selected_row.center().y());
    EXPECT_EQ(playing, CQorRowListCtrl::MarkBackground());
    EXPECT_NE(playing, selection);
    EXPECT_NE(selection.value(), 0) << "the selection keeps the style's highlight";
    EXPECT_EQ(picture.pixelColor(1, playing_row.center().y()), CQorRowListCtrl::MarkBar());
    EXPECT_NE(picture.pixelColor(1, selected_row.center().y()), CQorRowListCtrl::MarkBar());
    for (int column = 0; column < 3; ++column) {
        EXPECT_TRUE(list.topLevelItem(0)->font(column).bold()) << column;
        EXPECT_FALSE(list.topLevelItem(1)->font(column).bold()) << column;
        EXPECT_EQ(list.topLevelItem(0)->font(column).pixelSize(), list.font().pixelSize())
            << "the list's small font, only bold";
    }
    EXPECT_EQ(list.topLevelItem(0)->text(2), Ui(154)) << "the type text stays";
    EXPECT_FALSE(list.IsRowTicked(0)) << "marking touches no tick box";

    list.SetRowMarked(0, false);
    EXPECT_FALSE(list.topLevelItem(0)->font(0).bold());
    const QImage after = list.viewport()->grab().toImage();
    EXPECT_NE(after.pixelColor(1, playing_row.center().y()), CQorRowListCtrl::MarkBar());
}

TEST_F(FileListTest, ColumnsFollowTheListUntilTheUserSetsTheirWidth) {
    list.resize(600, 300);
    EXPECT_EQ(list.columnWidth(0), 600 * 32 / 100);
    EXPECT_EQ(list.columnWidth(1), 600 * 38 / 100);
    EXPECT_FALSE(list.IsColumnSetByUser(1));

    DragColumnEdge(1, 50);
    const int widened = 600 * 38 / 100 + 50;
    ASSERT_EQ(list.columnWidth(1), widened);
    EXPECT_TRUE(list.IsColumnSetByUser(1));
    EXPECT_FALSE(list.IsColumnSetByUser(0));

    // A narrower list, a refill and a sort leave the user's width alone;
    // the other columns keep following the list.
    list.resize(400, 300);
    list.DeleteAllItems();
    int entry = 0;
    for (const char* name : kNames) list.AddFile(entry++, "/card/DCIM/", name, ClipInfo{});
    list.SortByColumn(1);
    EXPECT_EQ(list.columnWidth(1), widened);
    EXPECT_EQ(list.columnWidth(0), 400 * 32 / 100);
    EXPECT_EQ(list.columnWidth(2), 400 * 24 / 100);
}

TEST_F(FileListTest, ElidedCellsShowTheirWholeTextAndTheRowNoteInTheTooltip) {
    const QFontMetrics metrics(list.font());
    const QString time = list.topLevelItem(0)->text(0);
    const int width = metrics.horizontalAdvance(time);
    EXPECT_FALSE(CQorFileListCtrl::IsTextElided(metrics, time, width));
    EXPECT_TRUE(CQorFileListCtrl::IsTextElided(metrics, time, width - 1));

    // The time column narrowed until its text is cut; the name column wide.
    list.header()->resizeSection(0, width / 2);
    list.header()->resizeSection(1, metrics.horizontalAdvance(kNames[0]) + 60);
    EXPECT_TRUE(list.IsCellElided(0, 0));
    EXPECT_FALSE(list.IsCellElided(0, 1));
    EXPECT_EQ(ToolTipAt(0, 0), time);
    EXPECT_EQ(list.ToolTipOfCell(0, 1), "") << "a whole text needs no tooltip";

    // The tick box and the incident icon take room from the text: at the
    // width the bare text needs, the time cell (with its box) is cut.
    list.header()->resizeSection(0, width + 8);
    EXPECT_TRUE(list.IsCellElided(0, 0));
    list.header()->resizeSection(0, width + 60);
    EXPECT_FALSE(list.IsCellElided(0, 0));

    QString note = QStringLiteral("reading");
    list.SetRowToolTipSource([&note](int row) { return note + QString::number(row); });
    list.header()->resizeSection(0, width / 2);
    EXPECT_EQ(ToolTipAt(2, 0), list.topLevelItem(2)->text(0) + "\n\nreading2");
    EXPECT_EQ(ToolTipAt(2, 1), "reading2");
    // The note came in: the open tooltip shows it at once.
    note = QStringLiteral("Trip of one recording ");
    list.RefreshToolTip();
    EXPECT_EQ(QToolTip::text(), "Trip of one recording 2");
    QToolTip::hideText();
}

TEST(FileListBordersTest, CellsAreOutlinedUpToTheHeaderEdge) {
    const QList<QLine> lines = CQorFileListCtrl::CellBorders({100, 150, 120}, 0, 300, 30, 46);
    ASSERT_EQ(lines.size(), 4 + 4 + 3);
    EXPECT_EQ(lines[0], QLine(-1, 30, 99, 30));
    EXPECT_EQ(lines[1], QLine(99, 30, 99, 46));
    EXPECT_EQ(lines[4], QLine(99, 30, 249, 30));
    // The last cell reaches past 300: cut at 299, no right line.
    EXPECT_EQ(lines[8], QLine(249, 30, 299, 30));
    EXPECT_EQ(lines[9], QLine(249, 46, 299, 46));
    EXPECT_EQ(lines[10], QLine(249, 30, 249, 46));
}

TEST(FileListBordersTest, HorizontalScrollShiftsAndWalkStopsAtTheEdge) {
    const QList<QLine> lines = CQorFileListCtrl::CellBorders({100, 150, 120}, 50, 180, 0, 10);
    // First cell -50..50, second reaches 200 >= 180: cut, walk ends.
    ASSERT_EQ(lines.size(), 4 + 3);
    EXPECT_EQ(lines[0], QLine(-51, 0, 49, 0));
    EXPECT_EQ(lines[4], QLine(49, 0, 179, 0));
}

TEST_F(FileListTest, RowsAreDrawnWhiteOnBlackWithDarkBorders) {
    const QImage picture = list.viewport()->grab().toImage();
    // Row 1: the first row carries the focus tint of the current item.
    const QRect row = list.visualItemRect(list.topLevelItem(1));
    const int border_x = list.columnWidth(0) - 1;
    EXPECT_EQ(picture.pixelColor(border_x, row.center().y()), QColor(0x20, 0x20, 0x20));
    EXPECT_EQ(picture.pixelColor(list.columnWidth(0) + 3, row.center().y() + 3).value(), 0)
        << "background is black";
}

TEST(GroupListTest, RowsCarryTheGroupTextsAndUncheckedBoxes) {
    CQorGroupListCtrl groups;
    MessageRecorder window;
    groups.SetMessageTarget(&window);
    ASSERT_EQ(groups.AddGroup(0, "FHD", 3'600'500, 1'610'612'736, 3, 0), 1);
    ASSERT_EQ(groups.AddGroup(1, "", 60'000, 1 << 20, 0, 0), 1);
    const QTreeWidgetItem* row = groups.topLevelItem(0);
    EXPECT_EQ(row->text(0), "G0");
    EXPECT_EQ(row->text(1), "FHD");
    EXPECT_EQ(row->text(3), " 3600 s ");
    EXPECT_EQ(row->text(4), " 1536 MB");
    EXPECT_EQ(groups.ImageIndexOfRow(0), 3);
    EXPECT_EQ(groups.topLevelItem(1)->text(0), "G1");
    EXPECT_FALSE(groups.IsRowChecked(0));
    groups.SetRowChecked(1, true);
    EXPECT_TRUE(groups.IsRowChecked(1));
    EXPECT_FALSE(groups.IsRowChecked(5));

    groups.resize(300, 200);
    groups.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&groups));
    const QRect first = groups.visualItemRect(groups.topLevelItem(0));
    QTest::mouseDClick(groups.viewport(), Qt::LeftButton, {},
                       QPoint(first.right() - 5, first.center().y()));
    ASSERT_EQ(window.Count(WM_GROUP_CLICKED), 1);
    EXPECT_EQ(window.messages.back().wparam, 0);

    groups.DeleteAllItems();
    EXPECT_EQ(groups.topLevelItemCount(), 0);
}

}  // namespace
}  // namespace orvo
