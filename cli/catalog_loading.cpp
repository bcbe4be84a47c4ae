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

PathKind LoadFolderOrFile(const std::string& path, CClipCatalog* catalog, int* loaded) {
    *loaded = 0;
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return PathKind::kMissing;
    if (S_ISDIR(st.st_mode)) {
        *loaded = catalog->Load(path, "");
        return PathKind::kFolder;
    }
    std::string folder;
    std::string name;
    SplitFilePath(path, &folder, &name);
    if (!name.empty()) *loaded = catalog->Load(folder, name);
    return PathKind::kFile;
}

bool LoadPath(const std::string& path, CClipCatalog* catalog, std::ostream& err) {
    int loaded = 0;
    const PathKind kind = LoadFolderOrFile(path, catalog, &loaded);
    if (kind == PathKind::kMissing) {
        err << "orvo-info: " << path << ": no such file or folder\n";
        return false;
    }
    if (loaded == 0) {
        err << "orvo-info: " << path << ": cannot be loaded\n";
        return false;
    }
    if (catalog->Count() == 0) {
        err << "orvo-info: " << path
            << (kind == PathKind::kFolder ? ": no recordings in this folder\n"
                                          : ": not a recording\n");
        return false;
    }
    return true;
}

}  // namespace orvo::cli
