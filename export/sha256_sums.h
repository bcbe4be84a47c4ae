#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace orvo {

// One file of a package: its path relative to the package folder ("/"
// separated), its SHA-256 and size.
struct PackageFile {
    std::string relative_path;
    std::string sha256;
    uint64_t size = 0;
};

// The lines `sha256sum -c` reads: "<digest>  <path>" in the given order. A
// name holding a backslash or a line feed is written the way GNU sha256sum
// writes it: the line starts with "\" and those characters are escaped.
std::string Sha256SumsText(std::span<const PackageFile> files);

}  // namespace orvo
