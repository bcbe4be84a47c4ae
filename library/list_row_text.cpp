#include "library/list_row_text.h"

#include <cinttypes>
#include <cstdio>
#include <ctime>

namespace orvo {

std::string FileTimeText(std::string_view file_name) {
    // Characters 4..16 of the camera's name scheme: yymmdd, a separator, hhmmss.
    constexpr size_t kLastTimeChar = 16;
    if (file_name.size() <= kLastTimeChar) return {};
    const char* n = file_name.data();
    char text[32];
    std::snprintf(text, sizeof text, "20%c%c-%c%c-%c%c %c%c:%c%c:%c%c", n[4], n[5], n[6], n[7],
                  n[8], n[9], n[11], n[12], n[13], n[14], n[15], n[16]);
    return text;
}

int FileTypeStringId(std::string_view file_name) {
    if (file_name.starts_with("EMER")) return kTypeEventStringId;
    if (file_name.starts_with("MANU")) return kTypeManualStringId;
    return kTypeNormalStringId;
}

std::string RowToolTipText(std::string_view cell_text, std::string_view row_note) {
    std::string text(cell_text);
    if (!text.empty() && !row_note.empty()) text += "\n\n";
    text += row_note;
    return text;
}

std::string GroupDurationText(uint64_t total_duration_ms) {
    char text[40];
    std::snprintf(text, sizeof text, " %" PRIu64 " s ", total_duration_ms / 1000);
    return text;
}

std::string GroupSizeText(uint64_t total_size_bytes) {
    char text[40];
    std::snprintf(text, sizeof text, " %" PRIu64 " MB", total_size_bytes >> 20);
    return text;
}

std::string GroupStartTimeText(int64_t start_time) {
    const std::time_t t = static_cast<std::time_t>(start_time);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0) return {};
#else
    if (localtime_r(&t, &local) == nullptr) return {};
#endif
    char text[64];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) return {};
    return text;
}

}  // namespace orvo
