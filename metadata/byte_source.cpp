#include "metadata/byte_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace orvo {

size_t MemoryByteSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
    // An empty request may come with a null pointer, which memcpy must not see.
    if (offset >= bytes_.size() || out.empty()) return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(out.size(), bytes_.size() - offset));
    std::memcpy(out.data(), bytes_.data() + offset, n);
    return n;
}

size_t ReadPadded(ByteSource& source, uint64_t offset, std::span<uint8_t> out) {
    const size_t n = source.ReadAt(offset, out);
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(n), out.end(), uint8_t{0});
    return n;
}

FileByteSource::~FileByteSource() {
    Close();
}

bool FileByteSource::Open(const std::filesystem::path& path) {
    Close();
    // Non-blocking, so that a FIFO given a recording's name cannot hang the
    // scan; reads of regular files are unaffected.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    // The length by seeking rather than fstat: this runs once per file of a
    // card and the seek is the cheaper call. Pipes and sockets fail here;
    // a directory fails at its first read (EISDIR), which rejects it.
    const off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(end);
    window_length_ = 0;
    window_offset_ = 0;
    return true;
}

void FileByteSource::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    window_length_ = 0;
}

size_t FileByteSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
    if (fd_ < 0 || offset >= size_ || out.empty()) return 0;
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(out.size(), size_ - offset));
    size_t done = 0;
    while (done < wanted) {
        const uint64_t at = offset + done;
        if (at >= window_offset_ && at < window_offset_ + window_length_) {
            const size_t skip = static_cast<size_t>(at - window_offset_);
            const size_t n = std::min(wanted - done, window_length_ - skip);
            std::memcpy(out.data() + done, window_.data() + skip, n);
            done += n;
            continue;
        }
        if (wanted - done >= kWindowSize) {
            // Large reads go straight to the caller's buffer.
            const ssize_t n =
                ::pread(fd_, out.data() + done, wanted - done, static_cast<off_t>(at));
            if (n < 0) {
                if (errno == EINTR) continue;
                throw std::system_error(errno, std::generic_category(), "read");
            }
            if (n == 0) break;
            done += static_cast<size_t>(n);
            continue;
        }
        const uint64_t page = at & ~uint64_t{kWindowSize - 1};
        ssize_t n;
        do {
            n = ::pread(fd_, window_.data(), kWindowSize, static_cast<off_t>(page));
        } while (n < 0 && errno == EINTR);
        if (n < 0) throw std::system_error(errno, std::generic_category(), "read");
        window_offset_ = page;
        window_length_ = static_cast<size_t>(n);
        if (page + window_length_ <= at) break;  // the file shrank under us
    }
    return done;
}

}  // namespace orvo
