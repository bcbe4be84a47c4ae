#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace orvo {

// Random-access bytes that a parser reads: a file or a memory buffer. Reads
// never fail past the end: they return fewer bytes.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to out.size() bytes from offset; returns how many were copied
    // (0 at or past the end). Throws std::system_error on an I/O error.
    virtual size_t ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
};

// A read-only view of bytes owned by the caller.
class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    size_t ReadAt(uint64_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
};

// A file opened read-only. Small reads are served from one cached window, so
// a walk over box headers and small payloads costs a few system calls.
class FileByteSource : public ByteSource {
public:
    FileByteSource() = default;
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;

    // Opens a file read-only; false when it cannot be opened or has no
    // length (pipes, sockets).
    bool Open(const std::filesystem::path& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, std::span<uint8_t> out) override;

private:
    // One page, aligned: each fill touches a single page of the page cache,
    // which is what a read costs; a camera file needs three (the leading
    // boxes, the header boxes after the media, the G-sensor box header).
    static constexpr size_t kWindowSize = 4 * 1024;

    int fd_ = -1;
    uint64_t size_ = 0;
    std::array<uint8_t, kWindowSize> window_;  // filled before use
    uint64_t window_offset_ = 0;
    size_t window_length_ = 0;
};

// Fills out from offset; bytes past the end of the source read as zero.
// Returns how many bytes were actually present.
size_t ReadPadded(ByteSource& source, uint64_t offset, std::span<uint8_t> out);

// offset + length, saturated at the largest offset instead of wrapping.
inline uint64_t AddOffset(uint64_t offset, uint64_t length) {
    return offset + length < offset ? UINT64_MAX : offset + length;
}

}  // namespace orvo
