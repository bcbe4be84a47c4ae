#include "cli/catalog_loading.h"

#include <ostream>

namespace orvo::cli {

void SplitFilePath(const std::string& path, std::string* folder, std::string* name) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        folder->assign(".");
        name->assign(path);
        return;
    }
    folder->assign(path, 0, slash == 0 ? 1 : slash);
    name->assign(path, slash + 1);
}

// Parses "FILE [--NAME VALUE]" where NAME is the one option a command takes.
bool ParseFileAndOption(std::span<const std::string> args, const std::string& option,
                        std::string* file, std::string* value) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == option) {
            if (i + 1 >= args.size()) return false;
            *value = args[++i];
        } else if (file->empty() && !args[i].starts_with("--")) {
            *file = args[i];
        } else {
            return false;
        }
    }
    return !file->empty();
}

bool LoadSingleClip(const std::string& path, CClipCatalog* catalog, std::ostream& err) {
    std::string folder;
    std::string name;
    SplitFilePath(path, &folder, &name);
    if (name.empty() || catalog->Load(folder, name) == 0) {
        err << "orvo-info: " << path << ": no such file\n";
        return false;
    }
    if (catalog->Count() == 0) {
        err << "orvo-info: " << path << ": not a recording\n";
        return false;
    }
    if (catalog->SelectFile(0) == 0 || catalog->SelectClip(0) == 0) {
        err << "orvo-info: " << path << ": cannot be read\n";
        return false;
    }
    return true;
}

}  // namespace orvo::cli
