#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/recording_telemetry.h"
#include "export/sha256_sums.h"
#include "library/clip_catalog.h"

namespace orvo {

// One recording of an evidence package and what became of it.
struct EvidenceItem {
    ClipEntry entry;
    bool copied = false;    // copied and verified
    std::string error;      // why not, when not
    std::string copy_path;  // relative to the package folder
    std::string sha256;
    uint64_t size = 0;
    RecordingTelemetry telemetry;
    std::optional<PeakG> peak;
};

// What the package holds so far; the report is drawn from it.
struct EvidenceSummary {
    std::string folder;               // the package folder
    std::vector<EvidenceItem> items;  // by start time
    // Indexes into items of the copied recordings, one list per trip
    // (recordings that follow each other within 2 seconds).
    std::vector<std::vector<size_t>> trips;
    std::vector<PackageFile> files;     // written and listed in the checksums
    std::vector<std::string> problems;  // one message per failure, naming the file
};

inline constexpr char kEvidenceSumsName[] = "SHA256SUMS";
inline constexpr char kEvidenceReportName[] = "report.pdf";

// Told of the progress from the thread that runs the export.
class IEvidenceObserver {
public:
    virtual ~IEvidenceObserver() = default;
    // The file being copied and the work done of the total (each byte of a
    // recording counts twice: copy and read-back). false cancels.
    virtual bool OnProgress(const std::string& current_file, uint64_t done, uint64_t total) = 0;
};

// Draws the report; the package writes and hashes the bytes.
class IEvidenceReport {
public:
    virtual ~IEvidenceReport() = default;
    virtual bool Render(const EvidenceSummary& summary, std::string* pdf) = 0;
};

enum class EvidenceStatus {
    kComplete,    // every recording copied and verified, every file written
    kIncomplete,  // the package lists what it holds; problems say what is missing
    kCancelled,   // everything written was removed again
    kFailed,      // no package folder could be made
};

struct EvidenceResult {
    EvidenceStatus status = EvidenceStatus::kFailed;
    EvidenceSummary summary;
};

// "Orvo evidence 2024-05-01 08-00-00" from a local start time.
std::string EvidenceFolderName(int64_t start_time);

// Writes a new package folder inside target: the recordings byte for byte
// below their sub-folders, each verified by reading it back; per recording
// its KML, GPX and the CSVs of its GPS and G-sensor records under
// telemetry/; report.pdf (when report is given); and SHA256SUMS listing
// every file except itself. A folder of the same name gets a suffix, never
// merged into. Sources are only read. observer and report may be null.
EvidenceResult ExportEvidence(std::vector<ClipEntry> entries, const std::string& target,
                              IEvidenceObserver* observer, IEvidenceReport* report);

}  // namespace orvo
