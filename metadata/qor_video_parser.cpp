#include "metadata/qor_video_parser.h"

#include <algorithm>
#include <array>

namespace orvo {
namespace {

// GPS records read per chunk while looking for the first dated one.
// Small enough to be served from the file window: the first record is
// usually dated.
constexpr size_t kGpsChunkRecords = 16;

}  // namespace

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

int CQorVideoParser::Finish(bool complete) {
    if (!start_time_known_) work_.startTime = 0;
    if (work_.width != 0 && work_.height != 0 && work_.durationMs != 0 && complete) {
        Report();
        return kAccepted;
    }
    return kRejected;
}

void CQorVideoParser::FindGpsStartTime(ByteSource& source, uint64_t position, uint64_t records,
                                       uint64_t file_length) {
    std::array<uint8_t, kGpsChunkRecords * kGpsRecordSize> chunk;
    for (uint64_t i = 0; !start_time_known_ && i < records;) {
        const uint64_t at = position + i * kGpsRecordSize;
        if (at >= file_length) break;
        const uint64_t n = std::min<uint64_t>(records - i, kGpsChunkRecords);
        ReadPadded(source, at, std::span(chunk).first(n * kGpsRecordSize));
        for (uint64_t k = 0; k < n; ++k, ++i) {
            const GpsRecord r = DecodeGpsRecord(std::span<const uint8_t>(chunk)
                                                    .subspan(k * kGpsRecordSize)
                                                    .first<kGpsRecordSize>());
            if (auto t = StartTimeFromGpsRecord(r, i, work_.gpsRateWord[0])) {
                work_.startTime = *t;
                start_time_known_ = true;
                break;
            }
        }
    }
}

void CQorVideoParser::ReadRateWord(ByteSource& source, uint64_t position, uint64_t length,
                                   bool gps) {
    auto& word = gps ? work_.gpsRateWord : work_.gRangeWord;
    word = {};
    source.ReadAt(position, std::span(word).first(std::min<uint64_t>(length, 4)));
}

void CQorVideoParser::ReadDateText(ByteSource& source, uint64_t position, uint64_t length) {
    start_time_known_ = true;
    std::array<uint8_t, kDateTextMax> text{};
    const size_t n =
        source.ReadAt(position, std::span(text).first(std::min<uint64_t>(length, kDateTextMax)));
    if (auto t = StartTimeFromDateText(std::span(text).first(n))) {
        work_.startTime = *t;
    } else {
        start_time_known_ = false;
    }
}

}  // namespace orvo
