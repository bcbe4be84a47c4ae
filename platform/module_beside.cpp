#include "platform/module_beside.h"

#include <dlfcn.h>

namespace orvo {

void* OpenModuleBeside(const void* anchor, const std::string& file_name, const char* build_path,
                       std::string& error) {
    Dl_info self{};
    if (dladdr(anchor, &self) != 0 && self.dli_fname != nullptr) {
        std::string folder = self.dli_fname;
        const std::size_t slash = folder.rfind('/');
        folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
        if (void* module = dlopen((folder + "/" + file_name).c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        error = dlerror();
    }
    if (build_path != nullptr) {
        if (void* module = dlopen(build_path, RTLD_NOW | RTLD_LOCAL)) return module;
        error = dlerror();
    }
    return nullptr;
}

void* ModuleEntry(const void* anchor, const std::string& file_name, const char* build_path,
                  const char* entry_name, std::string& error) {
    void* module = OpenModuleBeside(anchor, file_name, build_path, error);
    if (module == nullptr) return nullptr;
    void* entry = dlsym(module, entry_name);
    if (entry == nullptr) error = file_name + " has no " + entry_name;
    return entry;
}

}  // namespace orvo
