// Parsing cost per recording on a synthetic card of 2 000 sparse recordings,
// against the floor loop (open, read 4 KiB, close). Goal: within 2x.
// Usage: metadata_parse_bench [CARD_DIR] (default: $TMPDIR/orvo-bench-card)

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench/metadata/synthetic_card.h"
#include "metadata/parse_recording.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path root =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "orvo-bench-card";
    const orvo::bench::SyntheticCard card = orvo::bench::MakeSyntheticCard(root);
    const double n = static_cast<double>(card.files.size());

    uint64_t sink = 0;
    size_t accepted = 0;
    auto floor_pass = [&] { sink += orvo::bench::FloorPass(card.files); };
    auto parse_pass = [&] {
        accepted = 0;
        for (const fs::path& f : card.files) {
            orvo::ClipInfo info;
            if (orvo::ParseRecording(f, &info) == 0) {
                ++accepted;
                sink += info.gpsOffset;
            }
        }
    };
    // Interleaved rounds, so that load from other processes hits both alike.
    std::vector<double> floor_runs, parse_runs;
    for (int round = 0; round < 9; ++round) {
        floor_runs.push_back(orvo::bench::MedianPassNs(floor_pass, 1));
        parse_runs.push_back(orvo::bench::MedianPassNs(parse_pass, 1));
    }
    std::sort(floor_runs.begin(), floor_runs.end());
    std::sort(parse_runs.begin(), parse_runs.end());
    const double floor_ns = floor_runs[floor_runs.size() / 2];
    const double parse_ns = parse_runs[parse_runs.size() / 2];

    std::printf("card: %zu recordings in %s (%zu accepted)\n", card.files.size(), root.c_str(),
                accepted);
    std::printf("floor (open, read 4 KiB, close): %8.2f us/file\n", floor_ns / n / 1000.0);
    std::printf("parse (ParseRecording):          %8.2f us/file\n", parse_ns / n / 1000.0);
    std::printf("ratio parse/floor:               %8.2f  (goal <= 2.00)\n", parse_ns / floor_ns);
    return sink == 0 || accepted != card.files.size() ? 1 : 0;
}
