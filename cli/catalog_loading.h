#pragma once

#include <ostream>
#include <span>
#include <string>

#include "library/clip_catalog.h"

namespace orvo::cli {

// Folder and name of a file path, split at its last "/" like the viewer's
// open command ("." for a bare name).
void SplitFilePath(const std::string& path, std::string* folder, std::string* name);

// What LoadFolderOrFile found at a path.
enum class PathKind { kMissing, kFolder, kFile };

// Loads a folder tree (scan mode) or one file (file mode) as the viewer's
// open command does; *loaded receives the catalogue's Load result.
PathKind LoadFolderOrFile(const std::string& path, CClipCatalog* catalog, int* loaded);

// Loads a folder tree (scan mode) or one file (file mode). Writes a message
// to err and returns false when the path is missing or holds no recording.
bool LoadPath(const std::string& path, CClipCatalog* catalog, std::ostream& err);

}  // namespace orvo::cli
