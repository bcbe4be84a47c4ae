#include "metadata/qor_3gp_parser.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace orvo {
namespace {

uint32_t Be32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint64_t Be64(const uint8_t* p) {
    return (uint64_t{Be32(p)} << 32) | Be32(p + 4);
}
uint16_t Be16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

bool IsType(const char (&type)[4], std::string_view name) {
    return std::memcmp(type, name.data(), 4) == 0;
}

bool IsPrintableType(const char (&type)[4]) {
    return std::all_of(type, type + 4, [](char c) {
        const auto b = static_cast<uint8_t>(c);
        return b >= 0x20 && b <= 0x7F;
    });
}

uint32_t ClampTo32(uint64_t v) {
    return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

// duration * 1000 / timescale without overflow, clamped to 32 bits of ms.
uint32_t DurationToMs(uint64_t duration, uint32_t timescale) {
    const uint64_t whole = duration / timescale;
    const uint64_t rest = duration % timescale;
    if (whole > UINT32_MAX) return UINT32_MAX;
    return ClampTo32(whole * 1000 + rest * 1000 / timescale);
}

// Bytes of "mdhd" used: up to the 64-bit duration of the version-1 layout.
constexpr size_t kMdhdBytes = 32;
// Bytes of an "avc1" sample entry used: up to the 16-bit height at 26.
constexpr size_t kAvc1Bytes = 28;

}  // namespace

void CQor3gpParser::SetInfoTarget(ClipInfo* info) {
    target_ = info;
}

int CQor3gpParser::Parse(const std::filesystem::path& path) {
    return ParseFile(path);
}

int CQor3gpParser::Parse(ByteSource& source) {
    try {
        ResetState();
        file_length_ = 0;
        if (Walk(source) != kAccepted) return kRejected;
        return Finish(/*complete=*/true);
    } catch (...) {
        return kRejected;
    }
}

CQor3gpParser::BoxHeader CQor3gpParser::ReadHeader(ByteSource& source, uint64_t position) const {
    BoxHeader h;
    std::array<uint8_t, 8> raw{};
    if (source.ReadAt(position, raw) < raw.size()) return h;
    std::memcpy(h.type, raw.data() + 4, 4);
    const uint32_t size = Be32(raw.data());
    if (size == 1) {
        // 64-bit size follows the type; it counts the 16 header bytes.
        std::array<uint8_t, 8> large{};
        if (source.ReadAt(position + 8, large) < large.size()) return h;
        const uint64_t total = Be64(large.data());
        if (total < 16) return h;
        h.payload = position + 16;
        h.payload_length = total - 16;
    } else if (size == 0) {
        // The box runs to the end of the file.
        h.payload = position + 8;
        h.payload_length = file_length_ > h.payload ? file_length_ - h.payload : 0;
    } else if (size < 8) {
        return h;
    } else {
        h.payload = position + 8;
        h.payload_length = size - 8;
    }
    h.valid = true;
    return h;
}

int CQor3gpParser::Walk(ByteSource& source) {
    file_length_ = source.Size();
    BoxHeader first = ReadHeader(source, 0);
    if (!IsType(first.type, "ftyp")) return kRejected;
    work_.fileSize = file_length_;
    // An ftyp whose size cannot be walked ends the walk before it starts.
    uint64_t position = first.valid ? AddOffset(first.payload, first.payload_length) : file_length_;

    while (position < file_length_) {
        const BoxHeader h = ReadHeader(source, position);
        if (!h.valid) break;  // the chain cannot be followed: as if at the end
        position = h.payload;
        const uint64_t length = h.payload_length;

        if (IsType(h.type, "gps0")) {
            work_.gpsOffset = position;
            work_.gpsSize = ClampTo32(length);
            const uint64_t records = length / kGpsRecordSize;
            // Only the records up to the first dated one are read, and never
            // past the end of the file.
            FindGpsStartTime(source, position, records, file_length_);
            position = AddOffset(position, records * kGpsRecordSize);
        } else if (IsType(h.type, "gsen")) {
            work_.gsenOffset = position;
            work_.gsenSize = ClampTo32(length);
            position = AddOffset(position, (length / kGSensorRecordSize) * kGSensorRecordSize);
        } else if (IsType(h.type, "gpsa") || IsType(h.type, "gsea")) {
            ReadRateWord(source, position, length, IsType(h.type, "gpsa"));
            position = AddOffset(position, length);
        } else if (IsType(h.type, "IDIT")) {
            ReadDateText(source, position, length);
            position = AddOffset(position, length);
        } else if (IsType(h.type, "mdat") || IsType(h.type, "skip")) {
            position = AddOffset(position, length);
        } else if (IsType(h.type, "moov")) {
            ReadMovieHeader(source, position, length);
            ReadPictureSize(source, position, length);
            // The position stays at the payload: the walk goes on with the
            // children of "moov".
        } else {
            position = AddOffset(position, length);
            if (work_.gpsSize != 0 && work_.gsenSize != 0) {
                position = file_length_;  // both telemetry blocks are known
            } else if (!IsPrintableType(h.type)) {
                return kRejected;  // the walk has lost the box chain
            }
        }
    }
    return kAccepted;
}

bool CQor3gpParser::FindPath(ByteSource& source, std::initializer_list<std::string_view> types,
                             uint64_t& position, uint64_t& limit) const {
    for (std::string_view type : types) {
        uint64_t count = 0;
        for (;;) {
            const BoxHeader h = ReadHeader(source, position);
            if (!h.valid) return false;
            if (IsType(h.type, type)) {
                position = h.payload;
                limit = h.payload_length;
                break;
            }
            const uint64_t full = AddOffset(h.payload - position, h.payload_length);
            count = AddOffset(count, full);
            position = AddOffset(position, full);
            if (count >= limit) return false;
        }
    }
    return true;
}

void CQor3gpParser::ReadMovieHeader(ByteSource& source, uint64_t moov_payload,
                                    uint64_t moov_length) {
    uint64_t position = moov_payload;
    uint64_t limit = moov_length;
    if (!FindPath(source, {"trak", "mdia", "mdhd"}, position, limit)) return;
    std::array<uint8_t, kMdhdBytes> mdhd{};
    ReadPadded(source, position, std::span(mdhd).first(std::min<uint64_t>(limit, kMdhdBytes)));
    uint32_t timescale;
    uint64_t duration;
    if (mdhd[0] == 1) {  // version 1: 64-bit times and duration
        timescale = Be32(mdhd.data() + 20);
        duration = Be64(mdhd.data() + 24);
    } else {
        timescale = Be32(mdhd.data() + 12);
        duration = Be32(mdhd.data() + 16);
    }
    if (timescale == 0) return;
    work_.durationMs = DurationToMs(duration, timescale);
    work_.lengthSeconds = work_.durationMs / 1000;
}

void CQor3gpParser::ReadPictureSize(ByteSource& source, uint64_t moov_payload,
                                    uint64_t moov_length) {
    uint64_t position = moov_payload;
    uint64_t limit = moov_length;
    if (!FindPath(source, {"trak", "mdia", "minf", "stbl", "stsd"}, position, limit)) return;
    std::array<uint8_t, 8> stsd{};
    ReadPadded(source, position, std::span(stsd).first(std::min<uint64_t>(limit, 8)));
    if (Be32(stsd.data() + 4) == 0) return;
    position = AddOffset(position, 8);
    if (!FindPath(source, {"avc1"}, position, limit)) return;
    std::array<uint8_t, kAvc1Bytes> entry{};
    ReadPadded(source, position, std::span(entry).first(std::min<uint64_t>(limit, kAvc1Bytes)));
    work_.width = Be16(entry.data() + 24);
    work_.height = Be16(entry.data() + 26);
}

}  // namespace orvo
