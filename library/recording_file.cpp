#include "library/recording_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace orvo {

int OpenRecordingFile(const std::string& path, SkippedFile* failure) {
    SkippedFile result;
    result.path = path;
    // O_NONBLOCK: opening a FIFO for reading otherwise waits for a writer.
    // Reads of regular files are not affected by it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        result.error = errno;
        result.reason = SkipReason::kCannotOpen;
    } else {
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
        result.reason = SkipReason::kNotRegularFile;
        ::close(fd);
    }
    if (failure != nullptr) *failure = std::move(result);
    return -1;
}

SkippedFile DiagnoseRecordingFile(const std::string& path) {
    SkippedFile result;
    result.path = path;
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        result.error = errno;
        result.reason = SkipReason::kCannotOpen;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.reason = SkipReason::kNotRegularFile;
        return result;
    }
    const int fd = OpenRecordingFile(path, &result);
    if (fd < 0) return result;
    result.reason = st.st_size == 0 ? SkipReason::kEmpty : SkipReason::kNotRecording;
    ::close(fd);
    return result;
}

std::string SkipReasonText(const SkippedFile& skipped) {
    switch (skipped.reason) {
        case SkipReason::kNotRegularFile:
            return "not a regular file";
        case SkipReason::kCannotOpen:
            return skipped.error != 0
                       ? "cannot be opened: " + std::string(std::strerror(skipped.error))
                       : "cannot be opened";
        case SkipReason::kEmpty:
            return "empty file";
        case SkipReason::kNotRecording:
            break;
    }
    return "not a readable recording";
}

}  // namespace orvo
