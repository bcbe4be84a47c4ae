#include "app/drop_target.h"

#include <filesystem>
#include <system_error>

#include "library/clip_catalog.h"

namespace orvo {

std::optional<std::string> DroppedPathToOpen(const std::vector<std::string>& local_paths) {
    for (const std::string& text : local_paths) {
        if (text.empty()) continue;
        const std::filesystem::path path(text);
        std::error_code error;
        const auto status = std::filesystem::status(path, error);
        if (error) continue;
        if (std::filesystem::is_directory(status)) return text;
        if (std::filesystem::is_regular_file(status) && IsRecordingName(path.filename().string())) {
            return text;
        }
    }
    return std::nullopt;
}

}  // namespace orvo
