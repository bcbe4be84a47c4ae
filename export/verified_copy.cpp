#include "export/verified_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "export/sha256.h"

namespace orvo {

namespace {

constexpr size_t kChunk = 4 << 20;

std::string Why(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

int OpenSourceReadOnly(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    // O_NOATIME is refused for files of other users; plain read-only then.
    if (fd < 0 && errno == EPERM) return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd;
}

bool WriteAll(int fd, const char* data, size_t size, int* error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = errno;
            return false;
        }
        if (n == 0) {
            *error = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Reads fd to its end into sha; bytes counted; false and *error on a read
// error or cancel (*error 0).
bool HashAll(int fd, std::vector<char>* buffer, CSha256* sha, uint64_t* bytes,
             const CopyProgress& progress, int* error) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer->data(), buffer->size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = errno;
            return false;
        }
        if (n == 0) return true;
        sha->Update(buffer->data(), static_cast<size_t>(n));
        *bytes += static_cast<uint64_t>(n);
        if (progress && !progress(static_cast<uint64_t>(n))) {
            *error = 0;
            return false;
        }
    }
}

struct Copy {
    const std::string& source;
    const std::string& target;
    const CopyProgress& progress;
    VerifiedCopyResult result;
    std::vector<char> buffer = std::vector<char>(kChunk);
    int from = -1;
    int to = -1;
    bool created = false;

    ~Copy() {
        if (from >= 0) ::close(from);
        if (to >= 0) ::close(to);
        if (created && result.status != VerifiedCopyResult::Status::kVerified) {
            ::unlink(target.c_str());
        }
    }

    bool Fail(std::string error) {
        result.status = VerifiedCopyResult::Status::kFailed;
        result.error = std::move(error);
        return false;
    }

    bool Cancel() {
        result.status = VerifiedCopyResult::Status::kCancelled;
        return false;
    }

    bool Run() {
        from = OpenSourceReadOnly(source);
        if (from < 0) return Fail(Why("cannot open the recording", errno));
        struct stat before;
        if (::fstat(from, &before) != 0) return Fail(Why("cannot read the recording", errno));
        if (!S_ISREG(before.st_mode)) return Fail("not a regular file");
        to = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (to < 0) return Fail(Why("cannot create the copy", errno));
        created = true;
        return CopyData(before) && FinishCopy(before) && CheckSource(before) && ReadBack();
    }

    bool CopyData(const struct stat& before) {
        CSha256 sha;
        for (;;) {
            const ssize_t n = ::read(from, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Fail(Why("the recording cannot be read", errno));
            if (n == 0) break;
            sha.Update(buffer.data(), static_cast<size_t>(n));
            int error = 0;
            if (!WriteAll(to, buffer.data(), static_cast<size_t>(n), &error)) {
                return Fail(Why("cannot write the copy", error));
            }
            result.bytes += static_cast<uint64_t>(n);
            if (progress && !progress(static_cast<uint64_t>(n))) return Cancel();
        }
        result.sha256 = sha.FinishHex();
        struct stat after;
        if (::fstat(from, &after) != 0 || after.st_size != before.st_size ||
            result.bytes != static_cast<uint64_t>(before.st_size)) {
            return Fail("the recording changed while it was copied");
        }
        return true;
    }

    bool FinishCopy(const struct stat& before) {
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ::futimens(to, times);
        if (::fsync(to) != 0) return Fail(Why("cannot write the copy", errno));
        // The read-back must come from the disk, not from the cache the copy
        // just filled.
        ::posix_fadvise(to, 0, 0, POSIX_FADV_DONTNEED);
        const int closed = ::close(to);
        to = -1;
        if (closed != 0) return Fail(Why("cannot write the copy", errno));
        return true;
    }

    // A recording deleted or replaced on the card meanwhile is no longer
    // what was copied.
    bool CheckSource(const struct stat& before) {
        struct stat now;
        if (::stat(source.c_str(), &now) != 0 || now.st_ino != before.st_ino ||
            now.st_dev != before.st_dev) {
            return Fail("the recording vanished while it was copied");
        }
        return true;
    }

    bool ReadBack() {
        const int check = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
        if (check < 0) return Fail(Why("cannot read the copy back", errno));
        CSha256 sha;
        uint64_t bytes = 0;
        int error = 0;
        const bool read = HashAll(check, &buffer, &sha, &bytes, progress, &error);
        ::close(check);
        if (!read) return error == 0 ? Cancel() : Fail(Why("cannot read the copy back", error));
        if (bytes != result.bytes || sha.FinishHex() != result.sha256) {
            return Fail("the copy read back differs from the recording");
        }
        ::chmod(target.c_str(), 0444);
        result.status = VerifiedCopyResult::Status::kVerified;
        return true;
    }
};

}  // namespace

VerifiedCopyResult VerifiedCopy(const std::string& source, const std::string& target,
                                const CopyProgress& progress) {
    Copy copy{source, target, progress, {}};
    copy.Run();
    return copy.result;
}

}  // namespace orvo
