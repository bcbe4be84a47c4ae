#pragma once

#include <cstdint>

#include "metadata/qor_video_parser.h"

namespace orvo {

// Parser for RIFF AVI recordings: one walk over chunk codes, entering the
// header lists and skipping "movi" by its size.
class CQorAviParser : public CQorVideoParser {
public:
    void SetInfoTarget(ClipInfo* info) override;
    int Parse(const std::filesystem::path& path) override;
    int Parse(ByteSource& source) override;

private:
    int Walk(ByteSource& source);

    bool truncated_ = false;
    bool resynchronised_ = false;
};

}  // namespace orvo
