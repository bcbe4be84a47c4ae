// The catalogue's ticks: which recordings the file operations act on.
#include <vector>

#include "library/clip_catalog.h"

namespace orvo {

int CClipCatalog::SetTicked(int index, bool ticked) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return 0;
    entries_[index].ticked = ticked;
    if (file_list_ != nullptr) file_list_->SetRowTicked(index, ticked);
    return 1;
}

bool CClipCatalog::IsTicked(int index) const {
    return index >= 0 && index < static_cast<int>(entries_.size()) && entries_[index].ticked;
}

int CClipCatalog::TickGroupOf(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return 0;
    const ClipGroup& group = groups_[rows_[index].group];
    for (int k = 0; k < group.count; ++k) SetTicked(group.first + k, true);
    return 1;
}

void CClipCatalog::UntickAll() {
    for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
        if (entries_[i].ticked) SetTicked(i, false);
    }
}

int CClipCatalog::TickedCount() const {
    int count = 0;
    for (const ClipEntry& entry : entries_) count += entry.ticked ? 1 : 0;
    return count;
}

std::vector<int> CClipCatalog::ChosenEntries() {
    ReadCheckMarks();
    std::vector<int> chosen;
    for (const ClipGroup& group : groups_) {
        for (int k = 0; k < group.count; ++k) {
            const int index = group.first + k;
            if (group.checked != 0 || entries_[index].ticked) chosen.push_back(index);
        }
    }
    return chosen;
}

void CClipCatalog::RefillFileList() {
    if (file_list_ == nullptr) return;
    file_list_->DeleteAllItems();
    FillFileList();
}

}  // namespace orvo
