#pragma once

#include <string>

namespace orvo {

// The user's documents folder as the XDG user-dirs rules give it:
// $XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR entry of
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs), else
// $HOME/Documents. Empty when no home folder is known. Never ends in "/"
// unless it is the root.
std::string DocumentsFolder();

}  // namespace orvo
