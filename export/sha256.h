#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvo {

// SHA-256 of a byte stream, fed in pieces. Digests are shown as 64 lower-case
// hexadecimal digits, as sha256sum prints them.
class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    void Update(const void* data, size_t size);
    // The digest of everything fed since construction or the last Finish;
    // starts a new digest.
    std::string FinishHex();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

std::string Sha256Hex(std::string_view bytes);

// The digest of a whole file, read-only; false (and *error) when it cannot
// be read.
bool Sha256OfFile(const std::string& path, std::string* hex, std::string* error);

}  // namespace orvo
