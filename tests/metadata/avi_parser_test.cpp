#include "metadata/qor_avi_parser.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/metadata/parse_helpers.h"

namespace orvo {
namespace {

using namespace test_support;

Chunk VideoStrl(int32_t w = 1280, int32_t h = 720) {
    return MakeList("strl", {Strh("vids"), StrfVideo(w, h)});
}
Chunk AudioStrl() {
    return MakeList("strl", {Strh("auds"), StrfAudio()});
}
Chunk Hdrl(uint32_t us = 40000, uint32_t frames = 1500) {
    return MakeList("hdrl", {Avih(us, frames), VideoStrl()});
}
Chunk Gps(size_t n = 12) {
    return TelemetryChunk("gps0", GpsBlock(Track(n)));
}
Chunk Gsen(size_t n = 30) {
    return TelemetryChunk("gsen", GSensorBlock(MakeGSensorTrack(n)));
}
Chunk Word(const std::string& code, std::array<uint8_t, 4> w) {
    return TelemetryChunk(code, Bytes(w.begin(), w.end()));
}
Chunk Idit(const std::string& text) {
    return TelemetryChunk("IDIT", Bytes(text.begin(), text.end()));
}
Chunk Idx1() {
    return MakeChunk("idx1", Bytes(16, 0));
}

ParseResult Parse(std::vector<Chunk> riff_children) {
    return ParseLayout<CQorAviParser>(LayOutChunks({MakeRiff(std::move(riff_children))}));
}

using AviParserTest = UtcTest;

struct Row {
    const char* name;
    std::function<std::vector<Chunk>()> chunks;
    int code;
    std::function<void(const ClipInfo&)> check;
};

TEST_F(AviParserTest, Table) {
    const Row rows[] = {
        {"camera layout",
         [] {
             return std::vector<Chunk>{Hdrl(),
                                       MoviList(5000),
                                       Idx1(),
                                       Word("gpsa", RateWord(10)),
                                       Word("gsea", RateWord(0, 2)),
                                       Gps(),
                                       Gsen()};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.width, 1280);
             EXPECT_EQ(i.height, 720);
             EXPECT_EQ(i.durationMs, 60000u);
             EXPECT_EQ(i.lengthSeconds, 60);
             EXPECT_EQ(i.gpsSize, 384u);
             EXPECT_EQ(i.gsenSize, 90u);
             EXPECT_EQ(i.startTime, kMay1Noon);
             EXPECT_EQ(i.gRangeWord, RateWord(0, 2));
         }},
        {"33366 us x 1800 frames",
         [] {
             return std::vector<Chunk>{Hdrl(33366, 1800), MoviList(10)};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.durationMs, 60058u);
             EXPECT_EQ(i.lengthSeconds, 60);
         }},
        {"33366 us x 130000 frames does not wrap at 2^32",
         [] {
             return std::vector<Chunk>{Hdrl(33366, 130000), MoviList(10)};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.durationMs, 4337580u);
             EXPECT_EQ(i.lengthSeconds, 4337);
         }},
        {"zero frames: rejected", [] { return std::vector<Chunk>{Hdrl(40000, 0)}; }, -1, nullptr},
        {"no main header: rejected",
         [] { return std::vector<Chunk>{MakeList("hdrl", {VideoStrl()})}; }, -1, nullptr},
        {"no video stream: rejected",
         [] {
             return std::vector<Chunk>{MakeList("hdrl", {Avih(40000, 25), AudioStrl()})};
         },
         -1, nullptr},
        {"top-down bitmap height is taken by magnitude",
         [] {
             return std::vector<Chunk>{MakeList("hdrl", {Avih(40000, 25), VideoStrl(1280, -720)})};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.width, 1280);
             EXPECT_EQ(i.height, 720);
         }},
        {"audio stream before video keeps the picture size",
         [] {
             return std::vector<Chunk>{
                 MakeList("hdrl", {Avih(40000, 25), AudioStrl(), VideoStrl(640, 360)})};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.width, 640);
             EXPECT_EQ(i.height, 360);
         }},
        {"a later video stream overwrites the size",
         [] {
             return std::vector<Chunk>{
                 MakeList("hdrl", {Avih(40000, 25), VideoStrl(640, 360), VideoStrl(320, 240)})};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.width, 320); }},
        {"movi past the end of the file: rejected",
         [] {
             Chunk movi = MoviList(100);
             movi.size_field = 4 + 100 + 1 + 8 + 16;  // one byte beyond idx1
             return std::vector<Chunk>{Hdrl(), movi, Idx1()};
         },
         -1, nullptr},
        {"movi ending exactly at the end of the file",
         [] {
             Chunk movi = MoviList(100);
             movi.size_field = 4 + 100 + 8 + 16;  // covers idx1 exactly
             return std::vector<Chunk>{Hdrl(), movi, Idx1()};
         },
         0, nullptr},
        {"gsea of 8 bytes: word from the first 4, walk goes on after 8",
         [] {
             return std::vector<Chunk>{
                 Hdrl(), TelemetryChunk("gsea", Bytes{9, 4, 1, 1, 'g', 'p', 's', '0'}), Gsen()};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gRangeWord, RateWord(9, 4, 1, 1));
             EXPECT_EQ(i.gsenSize, 90u);
             EXPECT_EQ(i.gpsSize, 0u);
         }},
        {"IDIT with day 0 lets GPS set the start",
         [] {
             return std::vector<Chunk>{Hdrl(), Idit("2020-01-00 03:04:05"),
                                       Word("gpsa", RateWord(10)), Gps()};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, kMay1Noon); }},
        {"IDIT with day 0 after gps0 discards the GPS start",
         [] {
             return std::vector<Chunk>{Hdrl(), Gps(), Idit("2020-01-00 03:04:05")};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, 0); }},
        {"valid IDIT in the header wins over GPS",
         [] {
             return std::vector<Chunk>{Hdrl(), Idit("2020-01-02 03:04:05"), Gps()};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, 1577934245); }},
        {"gps0 before gpsa uses rate 1",
         [] {
             return std::vector<Chunk>{Hdrl(), TelemetryChunk("gps0", GpsBlock(Track(12, 10, 5))),
                                       Word("gpsa", RateWord(10))};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, kMay1Noon - 5); }},
        {"one stray non-printable code is tolerated",
         [] {
             // 4 bytes of code + 20 skipped = a 24-byte stray chunk.
             return std::vector<Chunk>{
                 Hdrl(), MakeChunk(std::string("\x01\x02\x03\x04", 4), Bytes(16)), Gps()};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.gpsSize, 384u); }},
        {"a second non-printable code rejects",
         [] {
             return std::vector<Chunk>{
                 Hdrl(), MakeChunk(std::string("\x01\x02\x03\x04", 4), Bytes(16)),
                 MakeChunk(std::string("\x05\x06\x07\x08", 4), Bytes(16)), Gps()};
         },
         -1, nullptr},
        {"unknown printable code advances only 4 bytes",
         [] {
             // "abcd" whose size bytes spell "gsen": the walk reads them as a
             // code and takes the next 4 bytes as its size.
             Chunk c = MakeChunk("abcd", Bytes{30, 0, 0, 0});
             c.size_field = 0x6E657367;  // "gsen" little-endian
             return std::vector<Chunk>{Hdrl(), c, MakeChunk("JUNK", Bytes(30 - 8, 0))};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.gsenSize, 30u); }},
        {"both blocks known: an unknown code ends the walk",
         [] {
             return std::vector<Chunk>{Hdrl(), Gps(), Gsen(), MakeChunk("zzzz", Bytes(4)),
                                       Word("gpsa", RateWord(10))};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.gpsRateWord, RateWord(0)); }},
        {"other LIST types are skipped by size",
         [] {
             return std::vector<Chunk>{
                 Hdrl(), MakeList("INFO", {MakeChunk("ISFT", Bytes(6, 'x')), Gps()}), Gsen()};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gpsSize, 0u);
             EXPECT_EQ(i.gsenSize, 90u);
         }},
        {"short avih and strf leave missing fields zero",
         [] {
             Chunk avih = MakeChunk("avih", Bytes{0x40, 0x9C, 0, 0});  // 40000 us, no frames
             return std::vector<Chunk>{MakeList("hdrl", {avih, VideoStrl()})};
         },
         -1, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ParseResult r = Parse(row.chunks());
        ExpectOutcome(r, row.code, row.check);
    }
}

TEST_F(AviParserTest, NotRiffIsRejected) {
    Chunk riff = MakeRiff({Hdrl(), MoviList(10)});
    riff.code = "RIFX";
    EXPECT_EQ(ParseLayout<CQorAviParser>(LayOutChunks({riff})).code, -1);
    EXPECT_EQ(ParseLayout<CQorAviParser>(Layout{}).code, -1);
}

TEST_F(AviParserTest, OffsetsPointAtPayloads) {
    RecordingSpec recording;
    recording.gps = Track(20);
    recording.gsensor = MakeGSensorTrack(50);
    recording.media_bytes = 123457;
    const Layout layout = BuildCameraAvi(recording);
    const ParseResult r = ParseLayout<CQorAviParser>(layout);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.info.gpsOffset, layout.Mark("gps0"));
    EXPECT_EQ(r.info.gsenOffset, layout.Mark("gsen"));
    EXPECT_EQ(r.info.gpsSize, 20u * 32);
    EXPECT_EQ(r.info.gsenSize, 150u);
    EXPECT_EQ(r.info.fileSize, layout.Size());
    EXPECT_EQ(r.info.gpsRateWord, recording.gps_rate_word);
}

TEST_F(AviParserTest, TruncatedFilesNeverThrowOrReadPastTheEnd) {
    RecordingSpec recording;
    recording.gps = Track(20);
    recording.gsensor = MakeGSensorTrack(50);
    recording.date_text = "2018-05-01 12:00:00";
    recording.media_bytes = 10;
    ExpectEveryPrefixParsesSafely<CQorAviParser>(BuildCameraAvi(recording).ToBytes());
}

}  // namespace
}  // namespace orvo
