#include "incidents/incident_book.h"

namespace orvo {

void CIncidentBook::Reset(size_t expected) {
    expected_ = expected;
    by_path_.clear();
}

void CIncidentBook::Add(std::span<const CardRecording> recordings,
                        std::vector<RecordingScan>&& scans) {
    for (RecordingScan& scan : scans) {
        if (scan.index >= recordings.size()) continue;
        by_path_[recordings[scan.index].path] = std::move(scan);
    }
}

const RecordingScan* CIncidentBook::Find(const std::string& path) const {
    const auto it = by_path_.find(path);
    return it == by_path_.end() ? nullptr : &it->second;
}

}  // namespace orvo
