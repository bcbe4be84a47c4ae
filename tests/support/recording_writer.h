#pragma once

// Builds camera recordings byte by byte for tests, fuzz seeds, benchmarks and
// the demo card: MOV/MP4 boxes and AVI chunks in any order and nesting, with
// sizes that can be deliberately wrong, and the telemetry blocks built from
// records. Large media payloads are "holes": counted in every size but
// written as sparse regions of a file.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo::test_support {

using Bytes = std::vector<uint8_t>;

// A laid-out file: bytes interleaved with runs of zeros that are not held in
// memory. Labelled boxes and chunks record their payload offsets in marks.
class Layout {
public:
    void Append(std::span<const uint8_t> bytes);
    void AppendHole(uint64_t length);
    uint64_t Size() const { return size_; }

    // The whole file in memory (holes as zeros).
    Bytes ToBytes() const;
    // Writes the file; holes become sparse regions. Throws on failure.
    void WriteFile(const std::filesystem::path& path) const;
    // Appends the laid-out bytes to an existing file (marks are relative to
    // the start of this layout).
    void AppendToFile(const std::filesystem::path& path) const;

    // Payload offset of the box or chunk labelled name; throws when absent.
    uint64_t Mark(const std::string& name) const;
    void SetMark(const std::string& name, uint64_t offset) { marks_[name] = offset; }
    bool HasMark(const std::string& name) const { return marks_.count(name) != 0; }

private:
    struct Piece {
        Bytes bytes;
        uint64_t hole = 0;  // zeros after bytes
    };
    std::vector<Piece> pieces_;
    uint64_t size_ = 0;
    std::map<std::string, uint64_t> marks_;
};

// ---- Big-endian / little-endian byte helpers ----
void PutBe16(Bytes& out, uint16_t v);
void PutBe32(Bytes& out, uint32_t v);
void PutBe64(Bytes& out, uint64_t v);
void PutLe16(Bytes& out, uint16_t v);
void PutLe32(Bytes& out, uint32_t v);
void PutText(Bytes& out, const std::string& text);  // bytes of text, no terminator
void PutZeros(Bytes& out, size_t count);

// ---- ISO base media boxes ----

enum class SizeForm {
    kNormal,  // 32-bit size
    kLarge,   // size field 1, then a 64-bit size
    kToEnd,   // size field 0: the box runs to the end of the file
};

struct Box {
    std::string type;  // exactly 4 bytes, any values
    Bytes payload;     // the box's own bytes, written before the children
    std::vector<Box> children;
    uint64_t hole = 0;                   // zeros after payload and children
    std::optional<uint64_t> size_field;  // written instead of the true size
    SizeForm form = SizeForm::kNormal;
    std::string mark;  // label for Layout::Mark (payload offset)
};

Box MakeBox(const std::string& type, Bytes payload = {});
Box MakeContainer(const std::string& type, std::vector<Box> children);
// Header plus payload, children and hole.
uint64_t BoxSize(const Box& box);
void AppendBox(Layout& layout, const Box& box);
Layout LayOutBoxes(const std::vector<Box>& boxes);

Box Ftyp(const std::string& brand = "qt  ");
Box Mdat(uint64_t media_bytes);  // the media payload as a hole
Box Mvhd(uint32_t timescale, uint32_t duration);
// Version 0: 32-bit fields (timescale at payload 12, duration at 16);
// version 1: 64-bit times and duration (timescale at 20, duration at 24).
Box Mdhd(uint32_t timescale, uint64_t duration, uint8_t version = 0);
Box Hdlr(const std::string& handler);  // "vide", "soun"
// A visual sample entry with width/height at payload offsets 24/26.
Box VisualSampleEntry(const std::string& type, uint16_t width, uint16_t height);
Box AudioSampleEntry(const std::string& type = "mp4a");
// "stsd" with its version/flags and entry count, then the entries.
Box Stsd(std::vector<Box> entries, std::optional<uint32_t> entry_count = std::nullopt);
// trak/mdia{mdhd, hdlr, minf/stbl/stsd{avc1}}.
Box VideoTrak(uint16_t width, uint16_t height, uint32_t timescale, uint64_t duration);
Box AudioTrak(uint32_t timescale, uint64_t duration);

// ---- Telemetry ----

Bytes GpsBlock(std::span<const GpsRecord> records);
Bytes GSensorBlock(std::span<const GSensorRecord> samples);
std::array<uint8_t, 4> RateWord(uint8_t b0, uint8_t b1 = 0, uint8_t b2 = 0, uint8_t b3 = 0);
// "YYYY-MM-DD hh:mm:ss".
std::string FormatDateText(int year, int month, int day, int hour, int minute, int second);

// A dated, moving GPS track: `count` records, `rate` per second, starting at
// the given local wall-clock time, near the given NMEA position.
struct GpsTrackOptions {
    size_t count = 600;
    unsigned rate = 10;
    int year = 2018, month = 5, day = 1, hour = 12, minute = 0, second = 0;
    double latitude = 3731.5;    // NMEA ddmm.mmmm
    double longitude = 12700.0;  // NMEA dddmm.mmmm
    uint16_t speed = 60;         // km/h
    bool valid_fix = true;
    size_t undated_leading = 0;  // records before the first dated one (year 0)
};
std::vector<GpsRecord> MakeGpsTrack(const GpsTrackOptions& options);
// A smooth three-axis curve of `count` samples.
std::vector<GSensorRecord> MakeGSensorTrack(size_t count, unsigned seed = 0);

Box Gps0Box(std::span<const GpsRecord> records);
Box GsenBox(std::span<const GSensorRecord> samples);
Box RateBox(const std::string& type, const std::array<uint8_t, 4>& word);  // "gpsa"/"gsea"
Box IditBox(const std::string& text);

// ---- AVI chunks ----

struct Chunk {
    std::string code;       // exactly 4 bytes, any values
    std::string list_type;  // non-empty for RIFF/LIST: first 4 payload bytes
    Bytes payload;
    std::vector<Chunk> children;
    uint64_t hole = 0;                   // zeros after payload and children
    std::optional<uint32_t> size_field;  // written instead of the true size
    std::string mark;                    // label for Layout::Mark (payload offset)
};

Chunk MakeChunk(const std::string& code, Bytes payload = {});
Chunk MakeList(const std::string& list_type, std::vector<Chunk> children);
Chunk MakeRiff(std::vector<Chunk> children);  // "RIFF" + "AVI "
// True payload size (list type, payload, children, hole); no padding.
uint64_t ChunkPayloadSize(const Chunk& chunk);
void AppendChunk(Layout& layout, const Chunk& chunk);
Layout LayOutChunks(const std::vector<Chunk>& chunks);

Chunk Avih(uint32_t us_per_frame, uint32_t total_frames, uint32_t width = 0,
           uint32_t height = 0);                                               // 56 bytes
Chunk Strh(const std::string& type, uint32_t rate = 30, uint32_t length = 0);  // 56 bytes
Chunk StrfVideo(int32_t width, int32_t height);  // 40-byte bitmap header
Chunk StrfAudio();                               // 18-byte wave format
Chunk MoviList(uint64_t media_bytes);            // LIST movi with a hole
Chunk TelemetryChunk(const std::string& code, Bytes payload);

// ---- Whole recordings as the camera lays them out ----

struct RecordingSpec {
    uint16_t width = 1920;
    uint16_t height = 1080;
    uint32_t duration_ms = 60000;
    uint64_t media_bytes = 4096;  // mdat / movi payload (a hole)
    std::vector<GpsRecord> gps;
    std::vector<GSensorRecord> gsensor;
    std::array<uint8_t, 4> gps_rate_word = {10, 0, 0, 0};
    std::array<uint8_t, 4> g_range_word = {0, 8, 0, 0};
    std::optional<std::string> date_text;
    bool audio = true;
};

// ftyp, mdat, moov{mvhd, video trak, [audio trak]}, gpsa, gsea, [IDIT],
// gps0, gsen. Marks: "gps0", "gsen", "mdat".
Layout BuildCameraMov(const RecordingSpec& recording);
// RIFF AVI {LIST hdrl {avih, LIST strl {strh vids, strf}, [LIST strl {auds}]},
// [IDIT], LIST movi, idx1, gpsa, gsea, gps0, gsen}; 25 frames per second.
// Marks: "gps0", "gsen", "movi".
Layout BuildCameraAvi(const RecordingSpec& recording);

// The telemetry boxes / chunks of a recording, for appending to a file written by
// another muxer.
std::vector<Box> TelemetryBoxes(const RecordingSpec& recording);
std::vector<Chunk> TelemetryChunks(const RecordingSpec& recording);

}  // namespace orvo::test_support
