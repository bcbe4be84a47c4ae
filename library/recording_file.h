#pragma once

#include <string>

namespace orvo {

// Why a file named like a recording is not in the catalogue, or could not be
// opened when it was selected.
enum class SkipReason {
    kNotRegularFile,  // a FIFO, device, socket or link in a recording's place
    kCannotOpen,      // open() failed (permission, vanished)
    kEmpty,           // 0 bytes
    kNotRecording,    // readable, but no recording the parsers accept
};

struct SkippedFile {
    std::string path;
    SkipReason reason = SkipReason::kNotRecording;
    int error = 0;  // errno of a failed open, else 0
};

// Opens a recording read-only outside the parsers. Never blocks (a FIFO put
// in a recording's place after the scan opens at once and is refused) and
// returns a descriptor only for a regular file; otherwise -1 with *failure
// (may be null) telling why.
int OpenRecordingFile(const std::string& path, SkippedFile* failure);

// Why a file was rejected or cannot be opened, found without blocking and
// without opening anything that is not a regular file.
SkippedFile DiagnoseRecordingFile(const std::string& path);

// Short English reason ("not a regular file", "cannot be opened: ...",
// "empty file", "not a readable recording") for the command line.
std::string SkipReasonText(const SkippedFile& skipped);

}  // namespace orvo
