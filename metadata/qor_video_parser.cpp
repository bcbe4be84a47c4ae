#include "metadata/qor_video_parser.h"

namespace orvo {

void CQorVideoParser::SetInfoTarget(ClipInfo* /*info*/) {}

int CQorVideoParser::Parse(const std::filesystem::path& /*path*/) {
    return kAccepted;
}

int CQorVideoParser::Parse(ByteSource& /*source*/) {
    return kAccepted;
}

int CQorVideoParser::ParseFile(const std::filesystem::path& path) {
    try {
        FileByteSource file;
        if (!file.Open(path)) return kRejected;
        return Parse(file);  // closes the file on return
    } catch (...) {
        return kRejected;
    }
}

void CQorVideoParser::ResetState() {
    work_ = ClipInfo{};
    start_time_known_ = false;
}

void CQorVideoParser::Report() const {
    if (target_ != nullptr) *target_ = work_;
}

}  // namespace orvo
