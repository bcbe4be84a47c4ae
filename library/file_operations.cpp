#include "library/file_operations.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "library/clip_catalog.h"

namespace orvo {

namespace {

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CopyContents(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!WriteAll(to, buffer.data(), static_cast<size_t>(n))) return false;
    }
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool MakeFolderTree(const std::string& path) {
    std::string full = path;
    if (full.empty() || full.back() != '/') full += '/';
    bool created = false;
    for (size_t slash = full.find('/'); slash != std::string::npos;
         slash = full.find('/', slash + 1)) {
        if (slash == 0) continue;  // the file system root
        created = ::mkdir(full.substr(0, slash).c_str(), 0777) == 0;
    }
    return created;
}

bool ClearReadOnly(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    return ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // The file system cannot refuse a replacement by itself: check first.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0 || errno != ENOENT) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat sa;
    struct stat sb;
    if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool CopyFileAtomically(const std::string& source, const std::string& target) {
    if (IsSameFile(source, target)) return false;
    // A source swapped for a FIFO must not hang the copy.
    const int from = OpenRecordingFile(source, nullptr);
    if (from < 0) return false;
    struct stat st;
    if (::fstat(from, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(from);
        return false;
    }
    // A hidden name, so a scan of the target folder meanwhile skips it.
    std::string temp = FolderOf(target) + "." + NameOf(target) + ".XXXXXX";
    const int to = ::mkostemp(temp.data(), O_CLOEXEC);
    if (to < 0) {
        ::close(from);
        return false;
    }
    bool ok = CopyContents(from, to);
    ok = ok && ::fchmod(to, st.st_mode & 07777) == 0;
    // On disk before the rename makes it visible under the real name.
    ok = ok && ::fsync(to) == 0;
    ok = (::close(to) == 0) && ok;
    ::close(from);
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool WriteFileAtomically(const std::string& path, const std::string& content) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folder + "." + name + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<size_t>(n);
    }
    // Readable like any file the user creates.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ok && ::fchmod(fd, 0666 & ~mask) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

int CClipCatalog::DeleteChecked() {
    const std::vector<int> chosen = ChosenEntries();
    if (chosen.empty()) return 0;
    bool deleted = false;
    // Backwards, so the indexes still to be visited stay valid.
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
        const int index = *it;
        const std::string path = FullPathOf(entries_[index]);
        struct stat st;
        const bool had_mode = ::stat(path.c_str(), &st) == 0;
        if (had_mode) ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
        if (::unlink(path.c_str()) != 0) {
            // Leave the file as it was, read-only attribute included.
            if (had_mode) ::chmod(path.c_str(), st.st_mode & 07777);
            continue;
        }
        entries_.erase(entries_.begin() + index);
        if (index < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + index);
        deleted = true;
    }
    if (deleted) {
        groups_.clear();
        rows_.clear();
        ClearViews();
        Regroup();
    }
    return 1;
}

int CClipCatalog::UnlockChecked() {
    const std::vector<int> chosen = ChosenEntries();
    if (chosen.empty()) return 0;
    for (const int index : chosen) {
        ClipEntry& entry = entries_[index];
        if ((entry.flags & kClipReadOnly) != 0 && ClearReadOnly(FullPathOf(entry))) {
            entry.flags &= static_cast<uint8_t>(~kClipReadOnly);
        }
        if ((entry.flags & kClipLocked) != 0 && entry.fileName.size() > 3) {
            std::string new_name = entry.fileName;
            new_name[3] = '_';
            const std::string to = entry.rootFolder + "/" + entry.subFolder + "/" + new_name;
            // Never replaces a recording that already has the new name.
            if (RenameNoReplace(FullPathOf(entry), to)) {
                entry.fileName = new_name;
                entry.flags &= static_cast<uint8_t>(~kClipLocked);
            }
        }
    }
    // What is left of each group's marks, also after a failed change or when
    // only some of its recordings were ticked.
    for (ClipGroup& group : groups_) {
        uint8_t flags = 0;
        for (int k = 0; k < group.count; ++k) flags |= entries_[group.first + k].flags;
        group.flags = flags;
    }
    ClearViews();
    FillViews();
    return 1;
}

int CClipCatalog::CopyChecked(const std::string& target, ICopyProgressView* progress,
                              std::vector<std::string>* failed) {
    const std::vector<int> chosen = ChosenEntries();
    if (chosen.empty()) return 0;
    const int total = static_cast<int>(chosen.size());
    if (progress != nullptr) {
        progress->SetProgress(0);
        progress->ShowProgress(true);
    }
    int done = 0;
    for (const int index : chosen) {
        const ClipEntry& entry = entries_[index];
        const std::string source = FullPathOf(entry);
        const std::string folder = target + "/" + entry.subFolder;
        const std::string file = folder + "/" + entry.fileName;
        struct stat st;
        if (::stat(folder.c_str(), &st) != 0) MakeFolderTree(folder);
        bool copy = true;
        if (::stat(file.c_str(), &st) == 0) {
            // The recording is already there when the target is the source
            // itself: nothing to copy, nothing to ask.
            if (IsSameFile(source, file)) {
                copy = false;
            } else {
                copy = progress != nullptr && progress->ConfirmOverwrite(file);
            }
        }
        if (copy && !CopyFileAtomically(source, file) && failed != nullptr) {
            failed->push_back(source);
        }
        ++done;
        if (progress != nullptr) progress->SetProgress(std::min(100, done * 100 / total));
    }
    if (progress != nullptr) progress->ShowProgress(false);
    return 1;
}

}  // namespace orvo
