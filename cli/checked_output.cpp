#include "cli/checked_output.h"

#include <unistd.h>

#include <cerrno>

namespace orvo::cli {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

CheckedOutputBuffer::CheckedOutputBuffer(int fd) : fd_(fd), buffer_(kBufferSize) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

CheckedOutputBuffer::~CheckedOutputBuffer() {
    Finish();
}

bool CheckedOutputBuffer::WriteAll(const char* data, size_t size) {
    // After a failure nothing more is written: a file must not continue
    // after a hole.
    while (size > 0 && error_ == 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            break;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return error_ == 0;
}

int CheckedOutputBuffer::sync() {
    const bool ok = WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return ok ? 0 : -1;
}

CheckedOutputBuffer::int_type CheckedOutputBuffer::overflow(int_type c) {
    if (sync() != 0) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize CheckedOutputBuffer::xsputn(const char* s, std::streamsize n) {
    const auto room = static_cast<std::streamsize>(epptr() - pptr());
    if (n <= room) {
        traits_type::copy(pptr(), s, static_cast<size_t>(n));
        pbump(static_cast<int>(n));
        return n;
    }
    if (sync() != 0) return 0;
    if (!WriteAll(s, static_cast<size_t>(n))) return 0;
    return n;
}

int CheckedOutputBuffer::Finish() {
    sync();
    return error_;
}

}  // namespace orvo::cli
