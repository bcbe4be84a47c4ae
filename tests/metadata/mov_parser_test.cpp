#include "metadata/qor_3gp_parser.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/metadata/parse_helpers.h"

namespace orvo {
namespace {

using namespace test_support;

Box Moov(uint16_t w = 1280, uint16_t h = 720, uint32_t timescale = 1000,
         uint64_t duration = 60000) {
    return MakeContainer("moov", {Mvhd(timescale, 0), VideoTrak(w, h, timescale, duration)});
}

Box MoovWith(std::vector<Box> extra) {
    Box m = Moov();
    for (Box& b : extra) m.children.push_back(std::move(b));
    return m;
}

Box Rate(uint8_t gps_rate) {
    return RateBox("gpsa", RateWord(gps_rate));
}
Box GRangeBox(uint8_t range) {
    return RateBox("gsea", RateWord(0, range));
}
Box Gsen(size_t n = 30) {
    return GsenBox(MakeGSensorTrack(n));
}

ParseResult Parse(const std::vector<Box>& boxes) {
    return ParseLayout<CQor3gpParser>(LayOutBoxes(boxes));
}

using MovParserTest = UtcTest;

// Rows whose expectations fit "accepted or not, plus a few fields".
struct Row {
    const char* name;
    std::function<std::vector<Box>()> boxes;
    int code;
    std::function<void(const ClipInfo&)> check;
};

TEST_F(MovParserTest, Table) {
    const Row rows[] = {
        {"camera layout, telemetry after mdat",
         [] {
             return std::vector<Box>{Ftyp(),       Mdat(5000),       Moov(), Rate(10),
                                     GRangeBox(4), Gps0Box(Track()), Gsen()};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.width, 1280);
             EXPECT_EQ(i.height, 720);
             EXPECT_EQ(i.durationMs, 60000u);
             EXPECT_EQ(i.lengthSeconds, 60);
             EXPECT_EQ(i.gpsSize, 12u * 32);
             EXPECT_EQ(i.gsenSize, 90u);
             EXPECT_EQ(i.startTime, kMay1Noon);
             EXPECT_EQ(i.gpsRateWord, RateWord(10));
             EXPECT_EQ(i.gRangeWord, RateWord(0, 4));
         }},
        {"first box not ftyp",
         [] {
             return std::vector<Box>{MakeBox("free", Bytes(8)), Ftyp(), Moov(), Gps0Box(Track())};
         },
         -1, nullptr},
        {"telemetry directly inside moov",
         [] {
             return std::vector<Box>{Ftyp(), MoovWith({Rate(10), Gps0Box(Track()), Gsen()})};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gpsSize, 384u);
             EXPECT_EQ(i.gsenSize, 90u);
         }},
        {"telemetry inside udta is not found",
         [] {
             return std::vector<Box>{Ftyp(),
                                     MoovWith({MakeContainer("udta", {Gps0Box(Track()), Gsen()})})};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gpsSize, 0u);
             EXPECT_EQ(i.gsenSize, 0u);
             EXPECT_EQ(i.gpsOffset, 0u);
             EXPECT_EQ(i.startTime, 0);
         }},
        {"both blocks known: an unhandled box ends the walk",
         [] {
             return std::vector<Box>{Ftyp(),
                                     Moov(),
                                     Gps0Box(Track()),
                                     Gsen(),
                                     MakeBox("free", Bytes(4)),
                                     Rate(5),
                                     IditBox("2019-01-01 00:00:00")};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gpsRateWord, RateWord(0));
             EXPECT_EQ(i.startTime, kMay1Noon);
         }},
        {"walk ended before moov: no picture size, rejected",
         [] {
             return std::vector<Box>{Ftyp(), Gps0Box(Track()), Gsen(), MakeBox("free"), Moov()};
         },
         -1, nullptr},
        {"gps0 before any gpsa uses rate 1",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), Gps0Box(Track(12, 10, 5)), Rate(10)};
         },
         0,
         // First dated record at index 5 carries 12:00:00 (5 / 10 = 0 s into
         // the track), and with rate 1 five seconds are subtracted.
         [](const ClipInfo& i) { EXPECT_EQ(i.startTime, kMay1Noon - 5); }},
        {"gpsa before gps0 sets the rate used",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), Rate(10), Gps0Box(Track(30, 10, 25))};
         },
         0,
         // Record 25 carries 12:00:02; 25 / 10 = 2 seconds back.
         [](const ClipInfo& i) { EXPECT_EQ(i.startTime, kMay1Noon); }},
        {"undated track leaves start time 0",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), Gps0Box(Track(12, 10, 12))};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, 0); }},
        {"valid IDIT after gps0 overrides",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), Rate(10), Gps0Box(Track()),
                                     IditBox("2020-01-02 03:04:05")};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, 1577934245); }},
        {"invalid IDIT after gps0 leaves 0",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), Rate(10), Gps0Box(Track()),
                                     IditBox("2020-13-02 03:04:05")};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, 0); }},
        {"invalid IDIT before gps0 lets GPS set it",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), Rate(10), IditBox("garbage"),
                                     Gps0Box(Track())};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, kMay1Noon); }},
        {"valid IDIT before gps0 wins",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), IditBox("2020-01-02 03:04:05"),
                                     Gps0Box(Track())};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, 1577934245); }},
        {"first track audio: rejected",
         [] {
             return std::vector<Box>{
                 Ftyp(),
                 MakeContainer("moov", {AudioTrak(48000, 48000), VideoTrak(640, 480, 1000, 1000)})};
         },
         -1, nullptr},
        {"no moov: rejected",
         [] {
             return std::vector<Box>{Ftyp(), Mdat(100), Gps0Box(Track())};
         },
         -1, nullptr},
        {"other sample entry type: rejected",
         [] {
             Box trak = VideoTrak(640, 480, 1000, 1000);
             trak.children[1].children[2].children[1].children[0].children[0].type = "hvc1";
             return std::vector<Box>{Ftyp(), MakeContainer("moov", {trak})};
         },
         -1, nullptr},
        {"stsd entry count 0: rejected",
         [] {
             Box trak = VideoTrak(640, 480, 1000, 1000);
             Box& stsd = trak.children[1].children[2].children[1].children[0];
             stsd.payload[7] = 0;
             return std::vector<Box>{Ftyp(), MakeContainer("moov", {trak})};
         },
         -1, nullptr},
        {"timescale 0: rejected",
         [] {
             return std::vector<Box>{Ftyp(), Moov(1280, 720, 0, 60000)};
         },
         -1, nullptr},
        {"timescale 90000, duration 5400000",
         [] {
             return std::vector<Box>{Ftyp(), Moov(1280, 720, 90000, 5400000)};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.durationMs, 60000u);
             EXPECT_EQ(i.lengthSeconds, 60);
         }},
        {"timescale 1000, duration 4294967295",
         [] {
             return std::vector<Box>{Ftyp(), Moov(1280, 720, 1000, 4294967295u)};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.durationMs, 4294967295u);
             EXPECT_EQ(i.lengthSeconds, 4294967);
         }},
        {"ms beyond 32 bits are clamped, not wrapped",
         // 4294967296 ms would wrap to 0 and reject the file.
         [] {
             return std::vector<Box>{Ftyp(), Moov(1280, 720, 1, 4294968)};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.durationMs, 4294967295u); }},
        {"mdhd version 1 uses the 64-bit layout",
         [] {
             Box trak = VideoTrak(640, 480, 1000, 1000);
             trak.children[1].children[0] = Mdhd(90000, 90000ull * 7200, 1);
             return std::vector<Box>{Ftyp(), MakeContainer("moov", {trak})};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.durationMs, 7200000u); }},
        {"64-bit mdat size is followed",
         [] {
             Box mdat = Mdat(3000);
             mdat.form = SizeForm::kLarge;
             return std::vector<Box>{Ftyp(), mdat, Moov(), Gps0Box(Track()), Gsen()};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gpsSize, 384u);
             EXPECT_EQ(i.gsenSize, 90u);
         }},
        {"size 0 box runs to the end of the file",
         [] {
             Box tail = Gsen();
             tail.form = SizeForm::kToEnd;
             return std::vector<Box>{Ftyp(), Moov(), Gps0Box(Track()), tail};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.gsenSize, 90u); }},
        {"size 0 mdat hides what follows",
         [] {
             Box mdat = Mdat(100);
             mdat.form = SizeForm::kToEnd;
             return std::vector<Box>{Ftyp(), Moov(), mdat, Gps0Box(Track())};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.gpsSize, 0u); }},
        {"size below 8 ends the walk",
         [] {
             Box bad = MakeBox("free", Bytes(8));
             bad.size_field = 4;
             return std::vector<Box>{Ftyp(), Moov(), bad, Gps0Box(Track())};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.gpsSize, 0u); }},
        {"size below 8 before moov: rejected",
         [] {
             Box bad = MakeBox("skip", Bytes(8));
             bad.size_field = 7;
             return std::vector<Box>{Ftyp(), bad, Moov()};
         },
         -1, nullptr},
        {"non-printable unknown type: rejected",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), MakeBox(std::string("\x01xyz", 4), Bytes(4))};
         },
         -1, nullptr},
        {"printable unknown types are skipped",
         [] {
             return std::vector<Box>{Ftyp(), MakeBox("wide"),           MakeBox("free", Bytes(20)),
                                     Moov(), MakeBox("~~~~", Bytes(3)), Gps0Box(Track())};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.gpsSize, 384u); }},
        {"non-printable type after both blocks just ends the walk",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), Gps0Box(Track()), Gsen(),
                                     MakeBox(std::string("\xFF\xFF\xFF\xFF", 4), Bytes(4))};
         },
         0, nullptr},
        {"a short rate box fills only what it holds",
         [] {
             Box gpsa = MakeBox("gpsa", Bytes{7, 8});
             return std::vector<Box>{Ftyp(), Moov(), gpsa, Gps0Box(Track())};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gpsRateWord, RateWord(7, 8, 0, 0));
             EXPECT_EQ(i.gpsSize, 384u);
         }},
        {"rate box longer than 4 bytes",
         [] {
             Box gsea = MakeBox("gsea", Bytes{1, 2, 3, 4, 5, 6, 7, 8});
             return std::vector<Box>{Ftyp(), Moov(), gsea, Gsen()};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.gRangeWord, RateWord(1, 2, 3, 4));
             EXPECT_EQ(i.gsenSize, 90u);
         }},
        {"huge avc1 size reads only what is used",
         [] {
             Box trak = VideoTrak(800, 600, 1000, 1000);
             trak.children[1].children[2].children[1].children[0].children[0].size_field =
                 0xFFFFFFF0u;
             return std::vector<Box>{Ftyp(), MakeContainer("moov", {trak})};
         },
         0,
         [](const ClipInfo& i) {
             EXPECT_EQ(i.width, 800);
             EXPECT_EQ(i.height, 600);
         }},
        {"IDIT before gps0 with year before 1900 is invalid",
         [] {
             return std::vector<Box>{Ftyp(), Moov(), IditBox("1800-01-01 00:00:00"), Rate(10),
                                     Gps0Box(Track())};
         },
         0, [](const ClipInfo& i) { EXPECT_EQ(i.startTime, kMay1Noon); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ParseResult r = Parse(row.boxes());
        ExpectOutcome(r, row.code, row.check);
    }
}

TEST_F(MovParserTest, OffsetsPointAtPayloadsAndFileSizeIsWhole) {
    const Layout layout =
        LayOutBoxes({Ftyp(), Mdat(70000), Moov(), Rate(10), Gps0Box(Track()), Gsen()});
    const ParseResult r = ParseLayout<CQor3gpParser>(layout);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.info.gpsOffset, layout.Mark("gps0"));
    EXPECT_EQ(r.info.gsenOffset, layout.Mark("gsen"));
    EXPECT_EQ(r.info.fileSize, layout.Size());
}

TEST_F(MovParserTest, Gps0OfHundredBytesContinuesAtNinetySix) {
    // Three whole records; the walk resumes at payload + 96, where this file
    // places the next box even though the size field says 108.
    Box gps0 = Gps0Box(Track(3));
    gps0.size_field = 108;
    const Layout layout = LayOutBoxes({Ftyp(), Moov(), gps0, Gsen()});
    const ParseResult r = ParseLayout<CQor3gpParser>(layout);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.info.gpsSize, 100u);
    EXPECT_EQ(r.info.gsenOffset, layout.Mark("gsen"));
    EXPECT_EQ(r.info.gsenSize, 90u);
}

TEST_F(MovParserTest, GsenRemainderIsNotSkipped) {
    // 31-byte payload: the walk continues after 30 bytes.
    Box gsen = Gsen(10);
    gsen.size_field = 8 + 31;
    const Layout layout = LayOutBoxes({Ftyp(), Moov(), gsen, Gps0Box(Track())});
    const ParseResult r = ParseLayout<CQor3gpParser>(layout);
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.info.gsenSize, 31u);
    EXPECT_EQ(r.info.gpsOffset, layout.Mark("gps0"));
}

TEST_F(MovParserTest, TruncatedFilesNeverThrowOrReadPastTheEnd) {
    ExpectEveryPrefixParsesSafely<CQor3gpParser>(
        LayOutBoxes(
            {Ftyp(), Moov(), Rate(10), IditBox("2018-05-01 12:00:00"), Gps0Box(Track(40)), Gsen()})
            .ToBytes());
}

TEST_F(MovParserTest, NoTargetStillReportsTheCode) {
    const Bytes bytes = LayOutBoxes({Ftyp(), Moov()}).ToBytes();
    MemoryByteSource source(bytes);
    CQor3gpParser parser;
    EXPECT_EQ(parser.Parse(source), 0);
}

TEST_F(MovParserTest, BaseParserAcceptsWithoutWriting) {
    CQorVideoParser base;
    ClipInfo info;
    info.width = 3;
    base.SetInfoTarget(&info);
    EXPECT_EQ(base.Parse(std::filesystem::path("/nonexistent")), 0);
    EXPECT_EQ(info.width, 3);
}

}  // namespace
}  // namespace orvo
