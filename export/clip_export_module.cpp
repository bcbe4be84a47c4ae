// The module the window loads for its first clip export.

#include "export/clip_export_module.h"

extern "C" __attribute__((visibility("default"))) const orvo::ClipExportEntryPoints*
orvo_clip_export_entry_points() {
    static const orvo::ClipExportEntryPoints entry_points{&orvo::PlanClipExport,
                                                          &orvo::WriteClipExport};
    return &entry_points;
}
