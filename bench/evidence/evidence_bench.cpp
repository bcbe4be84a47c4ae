// Evidence export throughput against a plain `cp` of the same recordings in
// the same run: evidence_bench [FOLDER] [COUNT] [MIB]. The recordings are
// written once (camera layout, padded to MIB), both copies start from a warm
// cache; the export includes the read-back verification and fsync.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "export/evidence_package.h"
#include "library/clip_catalog.h"
#include "tests/support/recording_writer.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const fs::path root =
        argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "orvo-evidence-bench";
    const int count = argc > 2 ? std::atoi(argv[2]) : 8;
    const int mib = argc > 3 ? std::atoi(argv[3]) : 128;
    fs::remove_all(root);
    const fs::path card = root / "card/DCIM/MOVIE";
    fs::create_directories(card);
    for (int i = 0; i < count; ++i) {
        orvo::test_support::RecordingSpec recording;
        recording.duration_ms = 60000;
        recording.date_text = orvo::test_support::FormatDateText(2024, 5, 1, 8, i, 0);
        char name[32];
        std::snprintf(name, sizeof name, "FILE240501_08%02d00.MOV", i);
        const fs::path path = card / name;
        orvo::test_support::BuildCameraMov(recording).WriteFile(path);
        std::ofstream pad(path, std::ios::binary | std::ios::app);
        const std::string block(1 << 20, 'v');
        for (int m = 0; m < mib; ++m) pad << block;
    }
    orvo::CClipCatalog catalog;
    catalog.Load((root / "card").string(), "");
    const double total_mib = static_cast<double>(count) * mib;

    fs::create_directories(root / "cp");
    const auto cp_start = std::chrono::steady_clock::now();
    const std::string cp =
        "cp -r '" + (root / "card").string() + "' '" + (root / "cp").string() + "'";
    if (std::system(cp.c_str()) != 0) return 1;
    const double cp_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - cp_start).count();

    fs::create_directories(root / "evidence");
    const auto ev_start = std::chrono::steady_clock::now();
    const orvo::EvidenceResult result =
        orvo::ExportEvidence(catalog.entries(), (root / "evidence").string(), nullptr, nullptr);
    const double ev_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - ev_start).count();

    std::printf("recordings %d x %d MiB (%d accepted), status %d\n", count, mib, catalog.Count(),
                static_cast<int>(result.status));
    std::printf("cp       %8.1f MiB/s  (%.2f s)\n", total_mib / cp_s, cp_s);
    std::printf("evidence %8.1f MiB/s  (%.2f s, copy + fsync + read-back + SHA-256)\n",
                total_mib / ev_s, ev_s);
    std::printf("ratio    %8.2f x of cp (goal >= 0.5)\n", cp_s / ev_s);
    fs::remove_all(root);
    return result.status == orvo::EvidenceStatus::kComplete ? 0 : 1;
}
