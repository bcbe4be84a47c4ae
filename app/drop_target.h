#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvo {

// What a drop on the main window opens: the first dropped path that is a
// folder (the open dialog's Folder choice) or a recording file (its File
// choice). Links are followed; anything else is refused (nullopt), so the
// drag shows it will not be taken.
std::optional<std::string> DroppedPathToOpen(const std::vector<std::string>& local_paths);

}  // namespace orvo
