#pragma once

#include <string>
#include <vector>

#include "library/clip_views.h"
#include "library/row_list_ctrl.h"

namespace orvo {

// The file list (control 1027): one row per recording with its recording
// time, file name and type, drawn white on black with dark cell borders.
// A click on a heading sorts by that column (WM_SORT_CLIPS to the message
// target first, so the catalogue sorts the same way); a double click sends
// WM_FILE_CLICKED with the row index, -1 below the last row. Column 0 holds
// a tick box per row (unticked when added): a click on it reports
// RowTickChanged; a right click or the Menu key reports
// ContextMenuRequested.
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
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void SortRows(int column, bool ascending);
    void ShowSortMark(int column, SortMark mark);
    void ReportTick(QTreeWidgetItem* item, int column);

    bool ascending_ = false;  // direction of the next sort of sort_column_
    int sort_column_ = 0;
    int mark_column_ = -1;
    SortMark mark_ = SortMark::kNone;
};

}  // namespace orvo
