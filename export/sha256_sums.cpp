#include "export/sha256_sums.h"

namespace orvo {

std::string Sha256SumsText(std::span<const PackageFile> files) {
    std::string text;
    for (const PackageFile& file : files) {
        const bool escaped = file.relative_path.find_first_of("\\\n") != std::string::npos;
        std::string name;
        for (const char c : file.relative_path) {
            if (c == '\\') {
                name += "\\\\";
            } else if (c == '\n') {
                name += "\\n";
            } else {
                name += c;
            }
        }
        if (escaped) text += '\\';
        text += file.sha256 + "  " + name + '\n';
    }
    return text;
}

}  // namespace orvo
