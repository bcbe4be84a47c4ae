#pragma once

#include <string>

namespace orvo {

// Opens a module of the program's (RTLD_NOW, symbols kept local): first
// beside the shared object that holds `anchor` (the viewer's library,
// installed or in the build tree), then at `build_path` if it is not null
// (where the build put it, for the tests). nullptr and the loader's reason
// in `error` when neither opens.
void* OpenModuleBeside(const void* anchor, const std::string& file_name, const char* build_path,
                       std::string& error);

// OpenModuleBeside, then the module's function `entry_name`: its address,
// or nullptr and the reason in `error`.
void* ModuleEntry(const void* anchor, const std::string& file_name, const char* build_path,
                  const char* entry_name, std::string& error);

// A module's table of entry points, or why there is none.
template <typename EntryPoints>
struct LoadedModule {
    const EntryPoints* entry_points = nullptr;
    std::string error;
};

// ModuleEntry, then its function called for the table; a table that
// `complete` refuses counts as none ("<file> has no <what>").
template <typename EntryPoints>
LoadedModule<EntryPoints> LoadModule(const void* anchor, const std::string& file_name,
                                     const char* build_path, const char* entry_name,
                                     bool (*complete)(const EntryPoints&), const char* what) {
    LoadedModule<EntryPoints> result;
    using Entry = const EntryPoints* (*)();
    const auto entry = reinterpret_cast<Entry>(
        ModuleEntry(anchor, file_name, build_path, entry_name, result.error));
    if (entry == nullptr) return result;
    const EntryPoints* points = entry();
    if (points == nullptr || !complete(*points))
        result.error = file_name + " has no " + what;
    else
        result.entry_points = points;
    return result;
}

}  // namespace orvo
