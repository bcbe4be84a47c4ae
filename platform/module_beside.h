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

}  // namespace orvo
