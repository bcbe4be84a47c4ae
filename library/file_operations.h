#pragma once

#include <string>

namespace orvo {

// Creates every missing folder along path, outermost first (each prefix up
// to a "/"), ignoring failures such as folders that already exist. Returns
// whether the creation of the last folder (the whole path) succeeded, so an
// existing folder gives false.
bool MakeFolderTree(const std::string& path);

// Gives the owner write permission back (the platform's read-only
// attribute). true on success.
bool ClearReadOnly(const std::string& path);

// Renames within a folder without ever replacing an existing file: fails
// when to exists. true on success.
bool RenameNoReplace(const std::string& from, const std::string& to);

// true when both paths name the same existing file.
bool IsSameFile(const std::string& a, const std::string& b);

// Copies source to target through a temporary file in the target's folder
// that is renamed over target only when complete, so an interrupted copy
// never leaves a truncated file under the real name. Replaces an existing
// target; refuses to copy a file onto itself. true on success; on failure
// target is as it was and no temporary file remains.
bool CopyFileAtomically(const std::string& source, const std::string& target);

// Writes content to path through a temporary file in the same folder that
// replaces path only when complete (readable as the umask allows). true on
// success; on failure path is as it was.
bool WriteFileAtomically(const std::string& path, const std::string& content);

}  // namespace orvo
