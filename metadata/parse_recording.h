#pragma once

#include <filesystem>
#include <memory>

#include "metadata/qor_video_parser.h"
#include "metadata/telemetry.h"

namespace orvo {

// True when the path's last four characters are ".AVI" (exact case): such
// files go to the AVI parser, every other file to the MOV parser.
bool IsAviPath(const std::filesystem::path& path);

// The parser the catalogue uses for a path.
std::unique_ptr<CQorVideoParser> MakeParserFor(const std::filesystem::path& path);

// Zero-fills *info, parses path with the parser chosen by IsAviPath and
// returns 0 (accepted, *info filled) or -1 (rejected, *info left zeroed).
// info may be null (the result is then only the code).
int ParseRecording(const std::filesystem::path& path, ClipInfo* info);

}  // namespace orvo
