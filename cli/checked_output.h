#pragma once

#include <streambuf>
#include <string>
#include <vector>

namespace orvo::cli {

// A stream buffer over a file descriptor that remembers the first write
// error, so a command's output to a full disk, a closed pipe or past a file
// size limit is reported instead of being lost quietly.
class CheckedOutputBuffer : public std::streambuf {
public:
    explicit CheckedOutputBuffer(int fd);
    ~CheckedOutputBuffer() override;
    CheckedOutputBuffer(const CheckedOutputBuffer&) = delete;
    CheckedOutputBuffer& operator=(const CheckedOutputBuffer&) = delete;

    // Writes what is buffered; 0, or the errno of the first failed write.
    int Finish();

protected:
    int_type overflow(int_type c) override;
    int sync() override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

private:
    bool WriteAll(const char* data, size_t size);

    int fd_;
    int error_ = 0;
    std::vector<char> buffer_;
};

}  // namespace orvo::cli
