#pragma once

#include <string>

#include "library/clip_views.h"
#include "library/row_list_ctrl.h"

namespace orvo {

// The group list (control 1028): one row per group of consecutive
// recordings, "G<n>", picture size, start time, total duration and total
// size, with a check box that ticks the group for the file operations
// (unticked at first). The main window keeps it hidden and unbound. A double
// click sends WM_GROUP_CLICKED with the row index (-1 below the last row).
class CQorGroupListCtrl : public CQorRowListCtrl, public IGroupListView {
    Q_OBJECT

public:
    static constexpr int kControlId = 1028;
    static constexpr int kColumnCount = 5;

    explicit CQorGroupListCtrl(QWidget* parent = nullptr);

    // IGroupListView
    int AddGroup(int group_number, const std::string& picture_size, uint64_t total_duration_ms,
                 uint64_t total_size, int image_index, int64_t start_time) override;
    void DeleteAllItems() override { clear(); }
    bool IsRowChecked(int row) const override;
    void SetRowMarked(int row, bool marked) override { MarkRow(row, marked); }
    void EnsureRowVisible(int row) override { ScrollToRow(row); }

    void SetRowChecked(int row, bool checked);
    int ImageIndexOfRow(int row) const;
};

}  // namespace orvo
