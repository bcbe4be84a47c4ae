#include "library/column_widths.h"

#include <cstddef>
#include <utility>

namespace orvo {

ColumnWidths::ColumnWidths(std::vector<int> percent)
    : percent_(std::move(percent)), user_(percent_.size(), -1) {}

std::vector<int> ColumnWidths::For(int list_width) const {
    std::vector<int> widths(percent_.size());
    for (size_t c = 0; c < percent_.size(); ++c) {
        widths[c] = user_[c] >= 0 ? user_[c] : list_width * percent_[c] / 100;
    }
    return widths;
}

void ColumnWidths::SetByUser(int column, int width) {
    if (column < 0 || static_cast<size_t>(column) >= user_.size() || width < 0) return;
    user_[static_cast<size_t>(column)] = width;
}

bool ColumnWidths::IsSetByUser(int column) const {
    return column >= 0 && static_cast<size_t>(column) < user_.size() &&
           user_[static_cast<size_t>(column)] >= 0;
}

}  // namespace orvo
