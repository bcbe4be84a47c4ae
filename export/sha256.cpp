#include "export/sha256.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace orvo {

// libcrypto picks the processor's SHA instructions where they exist, which
// keeps hashing well ahead of the disk.
struct CSha256::Context {
    EVP_MD_CTX* md = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(md); }
};

CSha256::CSha256() : context_(std::make_unique<Context>()) {
    EVP_DigestInit_ex(context_->md, EVP_sha256(), nullptr);
}

CSha256::~CSha256() = default;

void CSha256::Update(const void* data, size_t size) {
    if (size != 0) EVP_DigestUpdate(context_->md, data, size);
}

std::string CSha256::FinishHex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_->md, digest, &length);
    EVP_DigestInit_ex(context_->md, EVP_sha256(), nullptr);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0x0F];
    }
    return hex;
}

std::string Sha256Hex(std::string_view bytes) {
    CSha256 sha;
    sha.Update(bytes.data(), bytes.size());
    return sha.FinishHex();
}

bool Sha256OfFile(const std::string& path, std::string* hex, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error != nullptr) *error = std::strerror(errno);
        return false;
    }
    CSha256 sha;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error != nullptr) *error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        sha.Update(buffer.data(), static_cast<size_t>(n));
    }
    ::close(fd);
    *hex = sha.FinishHex();
    return true;
}

}  // namespace orvo
