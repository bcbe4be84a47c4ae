#include "tests/support/recording_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace orvo::test_support {
namespace {

void CheckCode(const std::string& code) {
    if (code.size() != 4)
        throw std::invalid_argument("box type / chunk code needs 4 bytes: " + code);
}

void WriteAll(int fd, const uint8_t* data, size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) throw std::system_error(errno, std::generic_category(), "write");
        data += n;
        length -= static_cast<size_t>(n);
    }
}

}  // namespace

// ---- Layout ----

void Layout::Append(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return;
    if (pieces_.empty() || pieces_.back().hole != 0) pieces_.emplace_back();
    pieces_.back().bytes.insert(pieces_.back().bytes.end(), bytes.begin(), bytes.end());
    size_ += bytes.size();
}

void Layout::AppendHole(uint64_t length) {
    if (length == 0) return;
    if (pieces_.empty()) pieces_.emplace_back();
    pieces_.back().hole += length;
    size_ += length;
}

Bytes Layout::ToBytes() const {
    if (size_ > (uint64_t{1} << 30)) throw std::length_error("layout too large for memory");
    Bytes out;
    out.reserve(static_cast<size_t>(size_));
    for (const Piece& p : pieces_) {
        out.insert(out.end(), p.bytes.begin(), p.bytes.end());
        out.insert(out.end(), static_cast<size_t>(p.hole), uint8_t{0});
    }
    return out;
}

namespace {

void WritePieces(int fd, off_t start, const auto& pieces, uint64_t size) {
    off_t at = start;
    for (const auto& p : pieces) {
        if (::lseek(fd, at, SEEK_SET) < 0) throw std::system_error(errno, std::generic_category());
        WriteAll(fd, p.bytes.data(), p.bytes.size());
        at += static_cast<off_t>(p.bytes.size() + p.hole);
    }
    // A trailing hole still counts in the file's length.
    if (::ftruncate(fd, start + static_cast<off_t>(size)) != 0)
        throw std::system_error(errno, std::generic_category(), "ftruncate");
}

}  // namespace

void Layout::WriteFile(const std::filesystem::path& path) const {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "open " + path.string());
    try {
        WritePieces(fd, 0, pieces_, size_);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

void Layout::AppendToFile(const std::filesystem::path& path) const {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), "open " + path.string());
    try {
        const off_t end = ::lseek(fd, 0, SEEK_END);
        if (end < 0) throw std::system_error(errno, std::generic_category());
        WritePieces(fd, end, pieces_, size_);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

uint64_t Layout::Mark(const std::string& name) const {
    auto it = marks_.find(name);
    if (it == marks_.end()) throw std::out_of_range("no mark " + name);
    return it->second;
}

// ---- Byte helpers ----

void PutBe16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
void PutBe32(Bytes& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}
void PutBe64(Bytes& out, uint64_t v) {
    for (int s = 56; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}
void PutLe16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(Bytes& out, uint32_t v) {
    for (int s = 0; s <= 24; s += 8) out.push_back(static_cast<uint8_t>(v >> s));
}
void PutText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}
void PutZeros(Bytes& out, size_t count) {
    out.insert(out.end(), count, uint8_t{0});
}

// ---- Boxes ----

Box MakeBox(const std::string& type, Bytes payload) {
    CheckCode(type);
    Box b;
    b.type = type;
    b.payload = std::move(payload);
    return b;
}

Box MakeContainer(const std::string& type, std::vector<Box> children) {
    Box b = MakeBox(type);
    b.children = std::move(children);
    return b;
}

uint64_t BoxSize(const Box& box) {
    uint64_t size = (box.form == SizeForm::kLarge ? 16 : 8) + box.payload.size() + box.hole;
    for (const Box& c : box.children) size += BoxSize(c);
    return size;
}

void AppendBox(Layout& layout, const Box& box) {
    CheckCode(box.type);
    const uint64_t size = BoxSize(box);
    Bytes header;
    switch (box.form) {
        case SizeForm::kNormal:
            PutBe32(header, static_cast<uint32_t>(box.size_field.value_or(size)));
            PutText(header, box.type);
            break;
        case SizeForm::kLarge:
            PutBe32(header, 1);
            PutText(header, box.type);
            PutBe64(header, box.size_field.value_or(size));
            break;
        case SizeForm::kToEnd:
            PutBe32(header, static_cast<uint32_t>(box.size_field.value_or(0)));
            PutText(header, box.type);
            break;
    }
    layout.Append(header);
    if (!box.mark.empty()) layout.SetMark(box.mark, layout.Size());
    layout.Append(box.payload);
    for (const Box& c : box.children) AppendBox(layout, c);
    layout.AppendHole(box.hole);
}

Layout LayOutBoxes(const std::vector<Box>& boxes) {
    Layout layout;
    for (const Box& b : boxes) AppendBox(layout, b);
    return layout;
}

Box Ftyp(const std::string& brand) {
    Bytes p;
    PutText(p, brand);
    PutBe32(p, 0x200);
    PutText(p, brand);
    return MakeBox("ftyp", std::move(p));
}

Box Mdat(uint64_t media_bytes) {
    Box b = MakeBox("mdat");
    b.hole = media_bytes;
    b.mark = "mdat";
    return b;
}

Box Mvhd(uint32_t timescale, uint32_t duration) {
    Bytes p;
    PutBe32(p, 0);  // version, flags
    PutBe32(p, 0);  // creation
    PutBe32(p, 0);  // modification
    PutBe32(p, timescale);
    PutBe32(p, duration);
    PutBe32(p, 0x00010000);  // rate 1.0
    PutBe16(p, 0x0100);      // volume 1.0
    PutZeros(p, 10);
    const uint32_t matrix[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (uint32_t m : matrix) PutBe32(p, m);
    PutZeros(p, 24);
    PutBe32(p, 3);  // next track id
    return MakeBox("mvhd", std::move(p));
}

Box Mdhd(uint32_t timescale, uint64_t duration, uint8_t version) {
    Bytes p;
    p.push_back(version);
    PutZeros(p, 3);
    if (version == 1) {
        PutBe64(p, 0);
        PutBe64(p, 0);
        PutBe32(p, timescale);
        PutBe64(p, duration);
    } else {
        PutBe32(p, 0);
        PutBe32(p, 0);
        PutBe32(p, timescale);
        PutBe32(p, static_cast<uint32_t>(duration));
    }
    PutBe16(p, 0x55C4);  // language "und"
    PutBe16(p, 0);
    return MakeBox("mdhd", std::move(p));
}

Box Hdlr(const std::string& handler) {
    Bytes p;
    PutBe32(p, 0);
    PutText(p, "mhlr");
    PutText(p, handler);
    PutZeros(p, 12);
    p.push_back(0);  // empty name
    return MakeBox("hdlr", std::move(p));
}

Box VisualSampleEntry(const std::string& type, uint16_t width, uint16_t height) {
    Bytes p;
    PutZeros(p, 6);
    PutBe16(p, 1);  // data reference index
    PutZeros(p, 16);
    PutBe16(p, width);   // payload offset 24
    PutBe16(p, height);  // payload offset 26
    PutBe32(p, 0x00480000);
    PutBe32(p, 0x00480000);
    PutBe32(p, 0);
    PutBe16(p, 1);  // frame count
    PutZeros(p, 32);
    PutBe16(p, 0x18);
    PutBe16(p, 0xFFFF);
    return MakeBox(type, std::move(p));
}

Box AudioSampleEntry(const std::string& type) {
    Bytes p;
    PutZeros(p, 6);
    PutBe16(p, 1);
    PutZeros(p, 8);
    PutBe16(p, 2);   // channels
    PutBe16(p, 16);  // sample size
    PutZeros(p, 4);
    PutBe32(p, 48000u << 16);
    return MakeBox(type, std::move(p));
}

Box Stsd(std::vector<Box> entries, std::optional<uint32_t> entry_count) {
    Bytes p;
    PutBe32(p, 0);
    PutBe32(p, entry_count.value_or(static_cast<uint32_t>(entries.size())));
    Box b = MakeBox("stsd", std::move(p));
    b.children = std::move(entries);
    return b;
}

namespace {

Box Tkhd(uint32_t track_id, uint16_t width, uint16_t height) {
    Bytes p;
    PutBe32(p, 0x0000000F);
    PutBe32(p, 0);
    PutBe32(p, 0);
    PutBe32(p, track_id);
    PutZeros(p, 4 + 4 + 8 + 2 + 2 + 2 + 2);
    const uint32_t matrix[9] = {0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000};
    for (uint32_t m : matrix) PutBe32(p, m);
    PutBe32(p, uint32_t{width} << 16);
    PutBe32(p, uint32_t{height} << 16);
    return MakeBox("tkhd", std::move(p));
}

Box EmptyTable(const std::string& type, size_t extra_words) {
    Bytes p;
    PutBe32(p, 0);
    for (size_t i = 0; i < extra_words; ++i) PutBe32(p, 0);
    return MakeBox(type, std::move(p));
}

Box Stbl(Box sample_entry) {
    return MakeContainer(
        "stbl", {Stsd({std::move(sample_entry)}), EmptyTable("stts", 1), EmptyTable("stsc", 1),
                 EmptyTable("stsz", 2), EmptyTable("stco", 1)});
}

}  // namespace

Box VideoTrak(uint16_t width, uint16_t height, uint32_t timescale, uint64_t duration) {
    Box minf = MakeContainer(
        "minf", {EmptyTable("vmhd", 2), Stbl(VisualSampleEntry("avc1", width, height))});
    Box mdia = MakeContainer("mdia", {Mdhd(timescale, duration), Hdlr("vide"), std::move(minf)});
    return MakeContainer("trak", {Tkhd(1, width, height), std::move(mdia)});
}

Box AudioTrak(uint32_t timescale, uint64_t duration) {
    Box minf = MakeContainer("minf", {EmptyTable("smhd", 1), Stbl(AudioSampleEntry())});
    Box mdia = MakeContainer("mdia", {Mdhd(timescale, duration), Hdlr("soun"), std::move(minf)});
    return MakeContainer("trak", {Tkhd(2, 0, 0), std::move(mdia)});
}

// ---- Telemetry ----

Bytes GpsBlock(std::span<const GpsRecord> records) {
    Bytes out;
    out.reserve(records.size() * kGpsRecordSize);
    for (const GpsRecord& r : records) {
        const auto bytes = EncodeGpsRecord(r);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

Bytes GSensorBlock(std::span<const GSensorRecord> samples) {
    Bytes out;
    out.reserve(samples.size() * kGSensorRecordSize);
    for (const GSensorRecord& s : samples) {
        out.push_back(static_cast<uint8_t>(s.x));
        out.push_back(static_cast<uint8_t>(s.y));
        out.push_back(static_cast<uint8_t>(s.z));
    }
    return out;
}

std::array<uint8_t, 4> RateWord(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return {b0, b1, b2, b3};
}

std::string FormatDateText(int year, int month, int day, int hour, int minute, int second) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour,
                  minute, second);
    return text;
}

std::vector<GpsRecord> MakeGpsTrack(const GpsTrackOptions& o) {
    std::vector<GpsRecord> records(o.count);
    const unsigned rate = o.rate == 0 ? 1 : o.rate;
    for (size_t i = 0; i < o.count; ++i) {
        GpsRecord& r = records[i];
        // Drift north-east by about 1/600 minute of arc per record.
        r.latitude = o.latitude + 0.0017 * static_cast<double>(i);
        r.longitude = o.longitude + 0.0021 * static_cast<double>(i);
        r.altitude = 35 + static_cast<int32_t>(i % 7);
        r.speed = static_cast<uint16_t>(o.speed + (i / rate) % 5);
        r.heading = static_cast<uint8_t>((22 + i / rate) % 180);
        r.flags = o.valid_fix ? 1 : 0;
        if (i < o.undated_leading) continue;
        // Wall-clock time of the record: start + i / rate seconds, kept in
        // range by simple carrying (no month rollover needed for tests).
        const int64_t total =
            o.second + o.minute * 60 + o.hour * 3600 + static_cast<int64_t>(i / rate);
        r.year = static_cast<uint8_t>(o.year - 2000);
        r.month = static_cast<uint8_t>(o.month);
        r.day = static_cast<uint8_t>(o.day + total / 86400);
        r.hour = static_cast<uint8_t>((total / 3600) % 24);
        r.minute = static_cast<uint8_t>((total / 60) % 60);
        r.second = static_cast<uint8_t>(total % 60);
    }
    return records;
}

std::vector<GSensorRecord> MakeGSensorTrack(size_t count, unsigned seed) {
    std::vector<GSensorRecord> samples(count);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i + seed) / 10.0;
        samples[i].x = static_cast<int8_t>(std::lround(40 * std::sin(t)));
        samples[i].y = static_cast<int8_t>(std::lround(25 * std::cos(t * 0.7)));
        samples[i].z = static_cast<int8_t>(std::lround(16 + 8 * std::sin(t * 1.9)));
    }
    return samples;
}

Box Gps0Box(std::span<const GpsRecord> records) {
    Box b = MakeBox("gps0", GpsBlock(records));
    b.mark = "gps0";
    return b;
}

Box GsenBox(std::span<const GSensorRecord> samples) {
    Box b = MakeBox("gsen", GSensorBlock(samples));
    b.mark = "gsen";
    return b;
}

Box RateBox(const std::string& type, const std::array<uint8_t, 4>& word) {
    return MakeBox(type, Bytes(word.begin(), word.end()));
}

Box IditBox(const std::string& text) {
    return MakeBox("IDIT", Bytes(text.begin(), text.end()));
}

// ---- Chunks ----

Chunk MakeChunk(const std::string& code, Bytes payload) {
    CheckCode(code);
    Chunk c;
    c.code = code;
    c.payload = std::move(payload);
    return c;
}

Chunk MakeList(const std::string& list_type, std::vector<Chunk> children) {
    CheckCode(list_type);
    Chunk c = MakeChunk("LIST");
    c.list_type = list_type;
    c.children = std::move(children);
    return c;
}

Chunk MakeRiff(std::vector<Chunk> children) {
    Chunk c = MakeList("AVI ", std::move(children));
    c.code = "RIFF";
    return c;
}

uint64_t ChunkPayloadSize(const Chunk& chunk) {
    uint64_t size = chunk.list_type.size() + chunk.payload.size() + chunk.hole;
    for (const Chunk& c : chunk.children) size += 8 + ChunkPayloadSize(c);
    return size;
}

void AppendChunk(Layout& layout, const Chunk& chunk) {
    CheckCode(chunk.code);
    Bytes header;
    PutText(header, chunk.code);
    PutLe32(header, chunk.size_field.value_or(static_cast<uint32_t>(ChunkPayloadSize(chunk))));
    PutText(header, chunk.list_type);
    layout.Append(header);
    if (!chunk.mark.empty()) layout.SetMark(chunk.mark, layout.Size());
    layout.Append(chunk.payload);
    for (const Chunk& c : chunk.children) AppendChunk(layout, c);
    layout.AppendHole(chunk.hole);
}

Layout LayOutChunks(const std::vector<Chunk>& chunks) {
    Layout layout;
    for (const Chunk& c : chunks) AppendChunk(layout, c);
    return layout;
}

Chunk Avih(uint32_t us_per_frame, uint32_t total_frames, uint32_t width, uint32_t height) {
    Bytes p;
    PutLe32(p, us_per_frame);  // 0
    PutLe32(p, 0);             // max bytes per second
    PutLe32(p, 0);             // padding granularity
    PutLe32(p, 0x10);          // flags: has index
    PutLe32(p, total_frames);  // 16
    PutLe32(p, 0);             // initial frames
    PutLe32(p, 2);             // streams
    PutLe32(p, 0);             // suggested buffer size
    PutLe32(p, width);
    PutLe32(p, height);
    PutZeros(p, 16);
    return MakeChunk("avih", std::move(p));
}

Chunk Strh(const std::string& type, uint32_t rate, uint32_t length) {
    CheckCode(type);
    Bytes p;
    PutText(p, type);
    PutText(p, type == "vids" ? "H264" : std::string(4, '\0'));
    PutLe32(p, 0);     // flags
    PutLe32(p, 0);     // priority, language
    PutLe32(p, 0);     // initial frames
    PutLe32(p, 1);     // scale
    PutLe32(p, rate);  // rate
    PutLe32(p, 0);     // start
    PutLe32(p, length);
    PutLe32(p, 0);  // suggested buffer size
    PutLe32(p, 0xFFFFFFFF);
    PutLe32(p, 0);   // sample size
    PutZeros(p, 8);  // frame rectangle
    return MakeChunk("strh", std::move(p));
}

Chunk StrfVideo(int32_t width, int32_t height) {
    Bytes p;
    PutLe32(p, 40);
    PutLe32(p, static_cast<uint32_t>(width));
    PutLe32(p, static_cast<uint32_t>(height));
    PutLe16(p, 1);
    PutLe16(p, 24);
    PutText(p, "H264");
    PutZeros(p, 20);
    return MakeChunk("strf", std::move(p));
}

Chunk StrfAudio() {
    Bytes p;
    PutLe16(p, 1);  // PCM
    PutLe16(p, 2);
    PutLe32(p, 48000);
    PutLe32(p, 192000);
    PutLe16(p, 4);
    PutLe16(p, 16);
    PutLe16(p, 0);
    return MakeChunk("strf", std::move(p));
}

Chunk MoviList(uint64_t media_bytes) {
    Chunk c = MakeList("movi", {});
    c.hole = media_bytes;
    c.mark = "movi";
    return c;
}

Chunk TelemetryChunk(const std::string& code, Bytes payload) {
    Chunk c = MakeChunk(code, std::move(payload));
    if (code == "gps0" || code == "gsen") c.mark = code;
    return c;
}

// ---- Whole recordings ----

std::vector<Box> TelemetryBoxes(const RecordingSpec& recording) {
    std::vector<Box> boxes;
    boxes.push_back(RateBox("gpsa", recording.gps_rate_word));
    boxes.push_back(RateBox("gsea", recording.g_range_word));
    if (recording.date_text) boxes.push_back(IditBox(*recording.date_text));
    boxes.push_back(Gps0Box(recording.gps));
    boxes.push_back(GsenBox(recording.gsensor));
    return boxes;
}

std::vector<Chunk> TelemetryChunks(const RecordingSpec& recording) {
    std::vector<Chunk> chunks;
    chunks.push_back(TelemetryChunk(
        "gpsa", Bytes(recording.gps_rate_word.begin(), recording.gps_rate_word.end())));
    chunks.push_back(TelemetryChunk(
        "gsea", Bytes(recording.g_range_word.begin(), recording.g_range_word.end())));
    if (recording.date_text)
        chunks.push_back(TelemetryChunk(
            "IDIT", Bytes(recording.date_text->begin(), recording.date_text->end())));
    chunks.push_back(TelemetryChunk("gps0", GpsBlock(recording.gps)));
    chunks.push_back(TelemetryChunk("gsen", GSensorBlock(recording.gsensor)));
    return chunks;
}

Layout BuildCameraMov(const RecordingSpec& recording) {
    std::vector<Box> moov_children = {
        Mvhd(1000, recording.duration_ms),
        VideoTrak(recording.width, recording.height, 1000, recording.duration_ms)};
    if (recording.audio)
        moov_children.push_back(AudioTrak(48000, uint64_t{recording.duration_ms} * 48));
    std::vector<Box> boxes = {Ftyp(), Mdat(recording.media_bytes),
                              MakeContainer("moov", std::move(moov_children))};
    for (Box& b : TelemetryBoxes(recording)) boxes.push_back(std::move(b));
    return LayOutBoxes(boxes);
}

Layout BuildCameraAvi(const RecordingSpec& recording) {
    // 25 frames per second: whole milliseconds per frame, so the duration
    // comes back exactly for multiples of 40 ms.
    constexpr uint32_t kUsPerFrame = 40000;
    const uint32_t frames = (recording.duration_ms + 39) / 40;
    std::vector<Chunk> hdrl = {
        Avih(kUsPerFrame, frames, recording.width, recording.height),
        MakeList("strl", {Strh("vids", 25, frames), StrfVideo(recording.width, recording.height)})};
    if (recording.audio) hdrl.push_back(MakeList("strl", {Strh("auds", 48000), StrfAudio()}));
    std::vector<Chunk> riff = {MakeList("hdrl", std::move(hdrl))};
    if (recording.date_text)
        riff.push_back(TelemetryChunk(
            "IDIT", Bytes(recording.date_text->begin(), recording.date_text->end())));
    riff.push_back(MoviList(recording.media_bytes));
    Bytes index;
    PutText(index, "00dc");
    PutLe32(index, 0x10);
    PutLe32(index, 4);
    PutLe32(index, 0);
    riff.push_back(MakeChunk("idx1", std::move(index)));
    RecordingSpec telemetry = recording;
    telemetry.date_text.reset();  // already inside the RIFF header part
    for (Chunk& c : TelemetryChunks(telemetry)) riff.push_back(std::move(c));
    return LayOutChunks({MakeRiff(std::move(riff))});
}

}  // namespace orvo::test_support
