#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "metadata/qor_video_parser.h"

namespace orvo {

// Parser for ISO base media recordings (MOV, MP4, 3GP): one walk over the top
// level and the children of "moov", taking picture size and duration from the
// first track and the telemetry boxes' places.
class CQor3gpParser : public CQorVideoParser {
public:
    void SetInfoTarget(ClipInfo* info) override;
    int Parse(const std::filesystem::path& path) override;
    int Parse(ByteSource& source) override;

private:
    struct BoxHeader {
        uint64_t payload = 0;         // offset of the payload
        uint64_t payload_length = 0;  // L
        char type[4] = {};
        bool valid = false;  // false: the chain cannot be walked from here
    };

    int Walk(ByteSource& source);
    BoxHeader ReadHeader(ByteSource& source, uint64_t position) const;
    bool FindPath(ByteSource& source, std::initializer_list<std::string_view> types,
                  uint64_t& position, uint64_t& limit) const;
    void ReadMovieHeader(ByteSource& source, uint64_t moov_payload, uint64_t moov_length);
    void ReadPictureSize(ByteSource& source, uint64_t moov_payload, uint64_t moov_length);

    uint64_t file_length_ = 0;
};

}  // namespace orvo
