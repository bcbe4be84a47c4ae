#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QPoint>
#include <QRect>

#include "library/clip_views.h"
#include "library/column_widths.h"
#include "library/row_list_ctrl.h"

class QFontMetrics;

namespace orvo {

// The file list (control 1027): one row per recording with its recording
// time, file name and type, drawn white on black with dark cell borders.
// A click on a heading sorts by that column (WM_SORT_CLIPS to the message
// target first, so the catalogue sorts the same way); a double click sends
// WM_FILE_CLICKED with the row index, -1 below the last row. Column 0 holds
// a tick box per row (unticked when added): a click on it reports
// RowTickChanged; a right click or the Menu key reports
// ContextMenuRequested.
//
// Columns take their share of the list's width, also when the list is
// resized, until the user drags one to a width of their own, which it then
// keeps (through reloads, sorts and refills) for the rest of the run. A
// cell's tooltip holds its whole text when the column cuts it short, and
// the row's note from the tooltip source (the trip's summary).
class CQorFileListCtrl : public CQorRowListCtrl, public IFileListView {
    Q_OBJECT

public:
    static constexpr int kControlId = 1027;
    static constexpr int kColumnCount = 3;

    // The mark shown on a heading. An ascending sort shows the down mark, a
    // descending sort the up mark.
    enum class SortMark { kNone, kUp, kDown };

    explicit CQorFileListCtrl(QWidget* parent = nullptr);

    int SetupStyle();
    int SetupColumns();
    void RefreshHeadings();

    // The text a row's tooltip adds below the cell's; empty adds nothing.
    // Asked each time a tooltip is about to show.
    void SetRowToolTipSource(std::function<QString(int row)> source);
    // Shows the open tooltip again with fresh texts (the row's note came in).
    void RefreshToolTip();
    // What the tooltip of a cell shows; empty for none.
    QString ToolTipOfCell(int row, int column) const;
    // Whether the column shows the cell's text cut short.
    bool IsCellElided(int row, int column) const;
    // The elision rule: the text does not fit the room the cell leaves for
    // it (pixels).
    static bool IsTextElided(const QFontMetrics& metrics, const QString& text, int room);
    bool IsColumnSetByUser(int column) const { return widths_.IsSetByUser(column); }

    // IFileListView
    int AddFile(int entry_index, const std::string& folder, const std::string& file_name,
                const ClipInfo& info) override;
    void DeleteAllItems() override { clear(); }
    void SetRowMarked(int row, bool marked) override { MarkRow(row, marked); }
    void EnsureRowVisible(int row) override { ScrollToRow(row); }
    // Sets the box without reporting RowTickChanged.
    void SetRowTicked(int row, bool ticked) override;
    bool IsRowTicked(int row) const;

    // Same as a click on heading `column` (0..2); others are ignored.
    void SortByColumn(int column);

    int sort_column() const { return sort_column_; }
    bool ascending() const { return ascending_; }
    SortMark SortMarkOf(int column) const;
    int EntryIndexOfRow(int row) const;

    // Marks the rows of recordings that hold an incident with an icon in
    // the type column (the type text stays): marked[entry] for each row's
    // entry; entries beyond the vector are unmarked.
    void SetIncidentMarks(const std::vector<char>& marked);
    bool HasIncidentMark(int row) const;

    // The cell outlines of one row as line segments: columns of the given
    // widths from x = -scroll_x, each outlined one pixel left of its edges;
    // the cell that reaches header_right is cut there and gets no right line,
    // and the walk ends with it.
    static QList<QLine> CellBorders(const QList<int>& widths, int scroll_x, int header_right,
                                    int top, int bottom);

Q_SIGNALS:
    // The user ticked or unticked the box of a row.
    void RowTickChanged(int row, bool ticked);
    // Row under the mouse (or the current row for the Menu key; -1 for
    // none) and where the menu goes, in global coordinates.
    void ContextMenuRequested(int row, QPoint global_position);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void SortRows(int column, bool ascending);
    void ShowSortMark(int column, SortMark mark);
    void ReportTick(QTreeWidgetItem* item, int column);
    void ApplyColumnWidths();
    void RememberUserWidth(int column, int width);
    int TextRoom(const QModelIndex& index, QFontMetrics* metrics) const;
    bool ShowToolTip(const QPoint& position, const QPoint& global_position);

    bool ascending_ = false;  // direction of the next sort of sort_column_
    int sort_column_ = 0;
    int mark_column_ = -1;
    SortMark mark_ = SortMark::kNone;

    ColumnWidths widths_;
    bool applying_widths_ = false;
    // A mouse button is down on the heading: a resize now is the user's
    // (a drag of an edge, a double click on it), not Qt's or ours.
    bool heading_pressed_ = false;
    std::function<QString(int row)> tip_source_;
    // The cell of the tooltip last shown, for RefreshToolTip.
    int tip_row_ = -1;
    int tip_column_ = -1;
    QPoint tip_position_;
};

}  // namespace orvo
