// The incident scan of a card of 2 000 recordings (sparse files with the
// telemetry of a minute: 600 GPS records, 3 000 G-sensor samples) against
// the card scan (CClipCatalog::Load) of the same card, in one run.
// Goal: the incident scan costs at most twice the card scan per recording.
// Usage: incident_scan_bench [CARD_DIR] (default $TMPDIR/orvo-bench-card,
// shared with the other benchmarks and kept between runs).

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench/metadata/synthetic_card.h"
#include "incidents/card_incident_scan.h"
#include "library/clip_catalog.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path root =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "orvo-bench-card";
    const orvo::bench::SyntheticCard card = orvo::bench::MakeSyntheticCard(root);
    const double n = static_cast<double>(card.files.size());

    orvo::CClipCatalog catalog;
    size_t sink = 0;
    const double load_ns = orvo::bench::MedianPassNs(
        [&] { sink += static_cast<size_t>(catalog.Load(root.string(), "")); }, 9);
    const std::vector<orvo::CardRecording> recordings = orvo::CardRecordingsOf(catalog);
    size_t incidents = 0;
    const std::atomic<bool> cancel{false};
    const double scan_ns = orvo::bench::MedianPassNs(
        [&] {
            incidents = 0;
            sink += orvo::ScanCard(recordings, {}, cancel, 32,
                                   [&](std::vector<orvo::RecordingScan>&& batch) {
                                       for (const auto& scan : batch) {
                                           incidents += scan.incidents.size();
                                       }
                                   });
        },
        9);

    std::printf("card: %zu recordings in %s (%d loaded), %zu incidents found\n", card.files.size(),
                root.c_str(), catalog.Count(), incidents);
    std::printf("card scan (Load):          %8.2f us/recording\n", load_ns / n / 1000.0);
    std::printf("incident scan (ScanCard):  %8.2f us/recording\n", scan_ns / n / 1000.0);
    std::printf("ratio incidents/card scan: %8.2f  (goal <= 2.00)\n", scan_ns / load_ns);
    return sink == 0 || catalog.Count() != static_cast<int>(card.files.size()) ? 1 : 0;
}
