#pragma once

#include "export/clip_exporter.h"

namespace orvo {

// The clip export links FFmpeg's libraries, which take a good part of the
// window's start-up to load; the window loads them from this module on its
// first export instead. The module exports one C function, named below,
// that returns these entry points.
struct ClipExportEntryPoints {
    decltype(&PlanClipExport) plan = nullptr;
    decltype(&WriteClipExport) write = nullptr;
};

inline constexpr const char* kClipExportModule = "liborvo-clip-export.so";
inline constexpr const char* kClipExportEntry = "orvo_clip_export_entry_points";

}  // namespace orvo
