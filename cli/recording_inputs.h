#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "library/clip_catalog.h"

namespace orvo::cli {

// The recording's full path for messages: the catalogue's path with its
// doubled separators collapsed.
std::string DisplayPath(const ClipEntry& entry);
std::string CollapseSeparators(const std::string& path);

// Why the viewer would not list a file: a missing path, a folder, an
// unreadable or empty file, a file of the wrong kind, or one its parser
// rejects. Empty when the file is accepted.
std::string RejectionReason(const std::string& path);

// The recordings named by FILE and folder arguments, in argument order (a
// folder's in the catalogue's time order, with their sub-folders). A
// message naming the path and the reason goes to err for every argument
// that yields no recording; false when there was one.
bool CollectRecordings(const std::vector<std::string>& paths, std::vector<ClipEntry>* recordings,
                       bool* folder_given, std::ostream& err);

// Writes content to path in one piece (no partial file under that name);
// false with a message naming the path and the cause otherwise.
bool WriteOutputFile(const std::string& path, const std::string& content, std::ostream& err);

// Creates the output folder (and its parents) when missing; false with a
// message when it cannot be created or is not a folder.
bool PrepareOutputFolder(std::string* folder, std::ostream& err);

// "--out" values must name something: an empty text is refused.
bool CheckOutValue(const std::string& value, std::ostream& err, const std::string& command);

}  // namespace orvo::cli
