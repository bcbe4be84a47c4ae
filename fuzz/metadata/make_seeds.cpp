// Writes the seed corpus of the parser fuzzers: small camera recordings and
// variants of them (64-bit and open-ended sizes, IDIT texts, telemetry inside
// "moov", audio-first tracks, top-down bitmaps, truncated lists).
// Usage: make_seeds MOV_DIR AVI_DIR

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/recording_writer.h"

using namespace orvo;
using namespace orvo::test_support;

namespace {

RecordingSpec SmallSpec() {
    RecordingSpec recording;
    recording.media_bytes = 32;
    GpsTrackOptions gps;
    gps.count = 4;
    gps.rate = 2;
    gps.undated_leading = 1;
    recording.gps = MakeGpsTrack(gps);
    recording.gsensor = MakeGSensorTrack(5);
    recording.gps_rate_word = RateWord(2, 0, 0, 0);
    recording.g_range_word = RateWord(0, 4, 0, 0);
    return recording;
}

void Save(const std::filesystem::path& dir, const std::string& name, const Layout& layout) {
    layout.WriteFile(dir / name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds MOV_DIR AVI_DIR\n");
        return 2;
    }
    const std::filesystem::path mov = argv[1];
    const std::filesystem::path avi = argv[2];
    std::filesystem::create_directories(mov);
    std::filesystem::create_directories(avi);

    RecordingSpec recording = SmallSpec();
    Save(mov, "camera.mov", BuildCameraMov(recording));
    Save(avi, "camera.avi", BuildCameraAvi(recording));
    recording.date_text = FormatDateText(2018, 5, 1, 12, 0, 0);
    Save(mov, "idit.mov", BuildCameraMov(recording));
    Save(avi, "idit.avi", BuildCameraAvi(recording));
    recording.date_text = "2018-02-30 10:00:00";
    recording.audio = false;
    Save(mov, "noaudio.mov", BuildCameraMov(recording));
    Save(avi, "noaudio.avi", BuildCameraAvi(recording));

    const RecordingSpec small = SmallSpec();
    // MOV variants.
    {
        Box mdat = Mdat(16);
        mdat.form = SizeForm::kLarge;
        Box moov = MakeContainer("moov", {Mvhd(1000, 5000), VideoTrak(640, 480, 90000, 450000),
                                          Gps0Box(small.gps), GsenBox(small.gsensor)});
        Save(mov, "large_mdat_telemetry_in_moov.mov", LayOutBoxes({Ftyp("mp42"), mdat, moov}));
    }
    {
        Box moov =
            MakeContainer("moov", {AudioTrak(48000, 48000), VideoTrak(1280, 720, 1000, 1000)});
        Save(mov, "audio_first.mov", LayOutBoxes({Ftyp(), moov, Gps0Box(small.gps)}));
    }
    {
        Box mdhd = Mdhd(1000, 0x1FFFFFFFFull, 1);
        Box trak = MakeContainer(
            "trak",
            {MakeContainer(
                "mdia",
                {mdhd, MakeContainer("minf", {MakeContainer("stbl", {Stsd({VisualSampleEntry(
                                                                        "avc1", 320, 240)})})})})});
        Box tail = Mdat(8);
        tail.form = SizeForm::kToEnd;
        Save(mov, "mdhd_v1_open_end.mov",
             LayOutBoxes({Ftyp(), MakeContainer("moov", {trak}),
                          RateBox("gpsa", small.gps_rate_word), IditBox("2020-01-01 00:00:00"),
                          tail}));
    }
    {
        Box bad = MakeBox("free", Bytes(12, 0));
        bad.size_field = 3;
        Save(mov, "broken_size.mov",
             LayOutBoxes({Ftyp(), MakeContainer("moov", {VideoTrak(64, 64, 600, 600)}), bad}));
    }
    // AVI variants.
    {
        std::vector<Chunk> hdrl = {Avih(33366, 1800), MakeList("strl", {Strh("auds"), StrfAudio()}),
                                   MakeList("strl", {Strh("vids"), StrfVideo(1280, -720)})};
        Chunk movi = MoviList(64);
        movi.size_field = 4000;
        Save(avi, "topdown_truncated.avi",
             LayOutChunks({MakeRiff({MakeList("hdrl", hdrl), MakeChunk("JUNK", Bytes(7, 0)), movi,
                                     TelemetryChunk("gps0", GpsBlock(small.gps))})}));
    }
    {
        std::vector<Chunk> hdrl = {Avih(40000, 25),
                                   MakeList("strl", {Strh("vids"), StrfVideo(32, 32)})};
        Bytes junk = {0x01, 0x02, 0x03, 0x04};
        Save(avi, "resync.avi",
             LayOutChunks({MakeRiff({MakeList("hdrl", hdrl), MakeChunk("abcd", junk),
                                     TelemetryChunk("IDIT", Bytes{'2', '0', '1', '8'}),
                                     TelemetryChunk("gsen", GSensorBlock(small.gsensor))})}));
    }
    return 0;
}
