#include "cli/recording_inputs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/catalog_loading.h"
#include "library/file_operations.h"
#include "metadata/parse_recording.h"

namespace orvo::cli {

namespace {

// The first 12 bytes tell the container: "ftyp" at 4 for MOV/MP4, "RIFF"
// and "AVI " for AVI.
std::string SignatureReason(const std::string& path, int fd) {
    char head[12] = {};
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    if (n < 0) return std::string("cannot be read: ") + std::strerror(errno);
    if (IsAviPath(path)) {
        if (n < 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "AVI ", 4) != 0) {
            return "not an AVI file (no RIFF AVI header)";
        }
    } else if (n < 8 || std::memcmp(head + 4, "ftyp", 4) != 0) {
        return "not a MOV/MP4 file (no ftyp box at the start)";
    }
    return {};
}

}  // namespace

std::string CollapseSeparators(const std::string& path) {
    std::string out;
    for (const char c : path) {
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    return out;
}

std::string DisplayPath(const ClipEntry& entry) {
    return CollapseSeparators(CClipCatalog::FullPathOf(entry));
}

std::string RejectionReason(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? "no such file" : std::strerror(errno);
    }
    if (S_ISDIR(st.st_mode)) return "is a folder, not a recording";
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    if (st.st_size == 0) return "empty file";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string("cannot be opened: ") + std::strerror(errno);
    const std::string reason = SignatureReason(path, fd);
    ::close(fd);
    if (!reason.empty()) return reason;
    if (ParseRecording(std::filesystem::path(path), nullptr) != 0) {
        return "no video picture size and duration found (damaged, or not a camera recording)";
    }
    return {};
}

bool CollectRecordings(const std::vector<std::string>& paths, std::vector<ClipEntry>* recordings,
                       bool* folder_given, std::ostream& err) {
    bool ok = true;
    for (const std::string& path : paths) {
        CClipCatalog catalog;
        int loaded = 0;
        const bool folder = LoadFolderOrFile(path, &catalog, &loaded) == PathKind::kFolder;
        if (folder && folder_given != nullptr) *folder_given = true;
        if (catalog.Count() == 0) {
            const std::string reason =
                folder ? std::string("no recordings in this folder") : RejectionReason(path);
            err << "orvo-info: " << path << ": "
                << (reason.empty() ? std::string("cannot be loaded") : reason) << '\n';
            ok = false;
            continue;
        }
        recordings->insert(recordings->end(), catalog.entries().begin(), catalog.entries().end());
    }
    return ok;
}

bool WriteOutputFile(const std::string& path, const std::string& content, std::ostream& err) {
    errno = 0;
    if (WriteFileAtomically(path, content)) return true;
    const int error = errno;
    err << "orvo-info: cannot write " << path;
    if (error != 0) err << ": " << std::strerror(error);
    err << '\n';
    return false;
}

bool PrepareOutputFolder(std::string* folder, std::ostream& err) {
    if (folder->back() != '/') *folder += '/';
    struct stat st;
    if (::stat(folder->c_str(), &st) != 0) {
        errno = 0;
        if (!MakeFolderTree(*folder) || ::stat(folder->c_str(), &st) != 0) {
            err << "orvo-info: cannot create the folder " << *folder;
            if (errno != 0) err << ": " << std::strerror(errno);
            err << '\n';
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        err << "orvo-info: " << *folder << ": not a folder\n";
        return false;
    }
    return true;
}

bool CheckOutValue(const std::string& value, std::ostream& err, const std::string& command) {
    if (!value.empty()) return true;
    err << "orvo-info " << command << ": --out needs a name (it was empty)\n";
    return false;
}

}  // namespace orvo::cli
