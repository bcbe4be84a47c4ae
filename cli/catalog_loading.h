#pragma once

#include <ostream>
#include <span>
#include <string>

#include "library/clip_catalog.h"

namespace orvo::cli {

// Folder and name of a file path, split at its last "/" like the viewer's
// open command ("." for a bare name).
void SplitFilePath(const std::string& path, std::string* folder, std::string* name);

// Parses "FILE [OPTION VALUE]" where OPTION (e.g. "--format") is the one
// option a command takes; value keeps its default when the option is absent.
bool ParseFileAndOption(std::span<const std::string> args, const std::string& option,
                        std::string* file, std::string* value);

// Loads one recording in file mode and selects it (SelectFile, SelectClip),
// as the viewer does when a single file is opened. Writes a message to err
// and returns false when the file is missing, rejected or unreadable.
bool LoadSingleClip(const std::string& path, CClipCatalog* catalog, std::ostream& err);

// Loads a folder tree (scan mode) or one file (file mode). Writes a message
// to err and returns false when the path is missing or holds no recording.
bool LoadPath(const std::string& path, CClipCatalog* catalog, std::ostream& err);

}  // namespace orvo::cli
