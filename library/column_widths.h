#pragma once

#include <vector>

namespace orvo {

// The widths of a list's columns: each column takes its share of the
// list's width until the user sets its width by hand; from then on it
// keeps that width, whatever the list's width, for as long as this object
// lives (the run of the viewer; the widths are not saved).
class ColumnWidths {
public:
    // percent[c]: column c's share of the list's width in per cent.
    explicit ColumnWidths(std::vector<int> percent);

    // The width of every column for a list `list_width` pixels wide: the
    // user's width, else list_width * percent / 100 truncated toward zero.
    std::vector<int> For(int list_width) const;

    // The user dragged column's edge to `width` pixels. Columns out of range
    // are ignored.
    void SetByUser(int column, int width);
    bool IsSetByUser(int column) const;

private:
    std::vector<int> percent_;
    std::vector<int> user_;  // -1: not set by the user
};

}  // namespace orvo
