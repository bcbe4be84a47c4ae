#include "cli/catalog_loading.h"

#include <sys/stat.h>

#include <ostream>

#include "cli/recording_inputs.h"

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
    if (name.empty() || catalog->Load(folder, name) == 0 || catalog->Count() == 0) {
        const std::string reason = RejectionReason(path);
        err << "orvo-info: " << path << ": " << (reason.empty() ? "not a recording" : reason)
            << '\n';
        return false;
    }
    if (catalog->SelectFile(0) == 0 || catalog->SelectClip(0) == 0) {
        err << "orvo-info: " << path << ": cannot be read\n";
        return false;
    }
    return true;
}

bool LoadPath(const std::string& path, CClipCatalog* catalog, std::ostream& err) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        err << "orvo-info: " << path << ": no such file or folder\n";
        return false;
    }
    int loaded = 0;
    if (S_ISDIR(st.st_mode)) {
        loaded = catalog->Load(path, "");
    } else {
        std::string folder;
        std::string name;
        SplitFilePath(path, &folder, &name);
        loaded = catalog->Load(folder, name);
    }
    if (loaded == 0) {
        err << "orvo-info: " << path << ": cannot be loaded\n";
        return false;
    }
    if (catalog->Count() == 0) {
        err << "orvo-info: " << path
            << (S_ISDIR(st.st_mode) ? ": no recordings in this folder\n" : ": not a recording\n");
        return false;
    }
    return true;
}

}  // namespace orvo::cli
