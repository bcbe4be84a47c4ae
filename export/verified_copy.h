#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace orvo {

struct VerifiedCopyResult {
    enum class Status { kVerified, kFailed, kCancelled };
    Status status = Status::kFailed;
    uint64_t bytes = 0;
    std::string sha256;  // of the source as read, equal to the copy's
    std::string error;   // what went wrong, for a message that names the file
};

// Called with the bytes of work done since the last call (each byte counts
// twice: once copied, once read back); false cancels.
using CopyProgress = std::function<bool(uint64_t bytes_done)>;

// Copies source to a new file target (never replacing one), hashing the
// source as it is read, then reads the copy back from the disk and compares
// its SHA-256. The source is opened read-only and not even its access time
// changes where the file system allows. On failure or cancel target is
// removed. The copy keeps the source's modification time and is read-only.
VerifiedCopyResult VerifiedCopy(const std::string& source, const std::string& target,
                                const CopyProgress& progress);

}  // namespace orvo
