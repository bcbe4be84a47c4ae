#include "metadata/qor_avi_parser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace orvo {
namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

using Code = std::array<uint8_t, 4>;

bool Is(const Code& code, std::string_view name) {
    return std::memcmp(code.data(), name.data(), 4) == 0;
}

bool IsPrintable(const Code& code) {
    return std::all_of(code.begin(), code.end(), [](uint8_t b) { return b >= 0x20 && b <= 0x7F; });
}

uint32_t ClampTo32(uint64_t v) {
    return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

// Bytes of the main header, stream header and bitmap header that are read.
constexpr uint32_t kAvihBytes = 56;
constexpr uint32_t kStrhBytes = 64;
constexpr uint32_t kBitmapBytes = 40;
// Bytes skipped after the first non-printable code, to find the chain again.
constexpr uint64_t kResyncSkip = 20;

// Reads a 4-byte code or size; false when fewer than 4 bytes remain.
bool Read4(ByteSource& source, uint64_t position, Code& out) {
    out = {};
    return source.ReadAt(position, out) == out.size();
}

}  // namespace

void CQorAviParser::SetInfoTarget(ClipInfo* info) {
    target_ = info;
}

int CQorAviParser::Parse(const std::filesystem::path& path) {
    return ParseFile(path);
}

int CQorAviParser::Parse(ByteSource& source) {
    try {
        ResetState();
        truncated_ = false;
        resynchronised_ = false;
        if (Walk(source) != kAccepted) return kRejected;
        return Finish(/*complete=*/!truncated_);
    } catch (...) {
        return kRejected;
    }
}

int CQorAviParser::Walk(ByteSource& source) {
    Code code;
    if (!Read4(source, 0, code) || !Is(code, "RIFF")) return kRejected;
    const uint64_t file_length = source.Size();
    work_.fileSize = file_length;
    uint64_t position = 8;

    // Reads the 4-byte size at the position and moves past it; a size field
    // cut off by the end of the file ends the walk.
    bool size_ok = true;
    auto read_size = [&]() -> uint32_t {
        Code raw;
        size_ok = Read4(source, position, raw);
        position += 4;
        return Le32(raw.data());
    };
    // Reads up to out.size() bytes of a size-byte payload into out (the rest
    // zero) and moves past what was read.
    auto read_header = [&](std::span<uint8_t> out, uint32_t size) {
        const uint32_t n = std::min(size, static_cast<uint32_t>(out.size()));
        ReadPadded(source, position, out.first(n));
        position += n;
    };

    while (position < file_length) {
        if (!Read4(source, position, code)) break;  // fewer than 4 bytes left
        position += 4;

        if (Is(code, "AVI ")) {
            continue;
        } else if (Is(code, "LIST")) {
            const uint32_t size = read_size();
            if (!size_ok) break;
            const uint64_t list_end = position + size;
            Code type;
            Read4(source, position, type);
            position += 4;
            if (Is(type, "hdrl") || Is(type, "strl") || Is(type, "avih")) {
                // Entered: the walk goes on with the list's first child.
            } else {
                position = list_end;
                if (Is(type, "movi") && list_end > file_length) truncated_ = true;
            }
        } else if (Is(code, "avih")) {
            const uint32_t size = read_size();
            if (!size_ok) break;
            std::array<uint8_t, kAvihBytes> avih{};
            read_header(avih, size);
            // Computed in 64 bits: long recordings pass 2^32 microseconds.
            const uint64_t us = uint64_t{Le32(avih.data())} * Le32(avih.data() + 16);
            work_.durationMs = ClampTo32(us / 1000);
            work_.lengthSeconds = work_.durationMs / 1000;
        } else if (Is(code, "strh")) {
            const uint32_t size = read_size();
            if (!size_ok) break;
            std::array<uint8_t, kStrhBytes> strh{};
            read_header(strh, size);
            const Code type{strh[0], strh[1], strh[2], strh[3]};
            const bool video = Is(type, "vids");
            if (video || Is(type, "auds")) {
                Code next;
                if (!Read4(source, position, next)) break;
                position += 4;
                if (Is(next, "strf")) {
                    const uint32_t size2 = read_size();
                    if (!size_ok) break;
                    if (!video) {
                        position += size2;  // the audio format is not needed
                        continue;
                    }
                    std::array<uint8_t, kBitmapBytes> bitmap{};
                    read_header(bitmap, size2);
                    work_.width = static_cast<uint16_t>(Le32(bitmap.data() + 4));
                    // A negative height marks a top-down bitmap; its magnitude
                    // is the picture height.
                    const auto height = static_cast<int32_t>(Le32(bitmap.data() + 8));
                    const uint32_t magnitude = height < 0 ? 0u - static_cast<uint32_t>(height)
                                                          : static_cast<uint32_t>(height);
                    work_.height = static_cast<uint16_t>(magnitude);
                }
            }
        } else if (Is(code, "gps0")) {
            const uint32_t size = read_size();
            if (!size_ok) break;
            work_.gpsOffset = position;
            work_.gpsSize = size;
            const uint64_t records = size / kGpsRecordSize;
            FindGpsStartTime(source, position, records, file_length);
            position += records * kGpsRecordSize;
        } else if (Is(code, "gsen")) {
            const uint32_t size = read_size();
            if (!size_ok) break;
            work_.gsenOffset = position;
            work_.gsenSize = size;
            position += (size / kGSensorRecordSize) * kGSensorRecordSize;
        } else if (Is(code, "gpsa") || Is(code, "gsea")) {
            const uint32_t size = read_size();
            if (!size_ok) break;
            ReadRateWord(source, position, size, Is(code, "gpsa"));
            position += size;
        } else if (Is(code, "IDIT")) {
            start_time_known_ = true;
            const uint32_t size = read_size();
            if (!size_ok) break;
            ReadDateText(source, position, size);
            position += size;
        } else if (Is(code, "idx1") || Is(code, "JUNK") || Is(code, "indx")) {
            const uint32_t size = read_size();
            if (!size_ok) break;
            position += size;
        } else if (work_.gpsSize != 0 && work_.gsenSize != 0) {
            position = file_length;  // both telemetry blocks are known
        } else if (IsPrintable(code)) {
            // An unknown code is not skipped by a size: the next code is read
            // 4 bytes further on.
        } else if (!resynchronised_) {
            resynchronised_ = true;
            position += kResyncSkip;
        } else {
            return kRejected;
        }
    }
    return kAccepted;
}

}  // namespace orvo
