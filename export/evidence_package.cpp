#include "export/evidence_package.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "export/sha256.h"
#include "export/telemetry_csv.h"
#include "export/verified_copy.h"
#include "gps/gpx_export.h"
#include "gps/kml_export.h"
#include "library/file_operations.h"

namespace orvo {

namespace {

std::string StemOf(const std::string& file_name) {
    const size_t dot = file_name.find_last_of('.');
    return dot == std::string::npos ? file_name : file_name.substr(0, dot);
}

// Sub-folder without doubled or trailing separators: "DCIM/MOVIE/" →
// "DCIM/MOVIE/", "" → "".
std::string CleanSubFolder(const std::string& sub_folder) {
    std::string clean;
    size_t start = 0;
    while (start < sub_folder.size()) {
        size_t end = sub_folder.find('/', start);
        if (end == std::string::npos) end = sub_folder.size();
        const std::string part = sub_folder.substr(start, end - start);
        // A name that climbs out of the package is not taken over.
        if (!part.empty() && part != "." && part != "..") clean += part + "/";
        start = end + 1;
    }
    return clean;
}

// Runs one export; owns the list of what it created so a cancel can take it
// all back.
class CEvidenceExport {
public:
    CEvidenceExport(IEvidenceObserver* observer, IEvidenceReport* report)
        : observer_(observer), report_(report) {}

    EvidenceResult Run(std::vector<ClipEntry> entries, const std::string& target);

private:
    bool MakePackageFolder(const std::string& target, int64_t start_time);
    bool MakeFolders(const std::string& relative);
    bool CopyRecording(EvidenceItem* item);
    void WriteTelemetry(const EvidenceItem& item);
    bool WriteFile(const std::string& relative, const std::string& content, bool listed);
    void BuildTrips();
    void WriteReport();
    EvidenceResult Cancelled();
    std::string Absolute(const std::string& relative) const {
        return result_.summary.folder + "/" + relative;
    }

    IEvidenceObserver* observer_;
    IEvidenceReport* report_;
    EvidenceResult result_;
    std::vector<std::string> created_files_;
    std::vector<std::string> created_folders_;
    uint64_t done_ = 0;
    uint64_t total_ = 0;
    bool cancelled_ = false;
};

bool CEvidenceExport::MakePackageFolder(const std::string& target, int64_t start_time) {
    const std::string base = target + "/" + EvidenceFolderName(start_time);
    for (int n = 1; n < 1000; ++n) {
        const std::string folder = n == 1 ? base : base + " (" + std::to_string(n) + ")";
        // mkdir fails on an existing name: the package never merges into one.
        if (::mkdir(folder.c_str(), 0755) == 0) {
            result_.summary.folder = folder;
            created_folders_.push_back(folder);
            return true;
        }
        if (errno != EEXIST) {
            result_.summary.problems.push_back(
                folder + ": cannot create the package folder: " + std::strerror(errno));
            return false;
        }
    }
    result_.summary.problems.push_back(base + ": too many packages of this name");
    return false;
}

bool CEvidenceExport::MakeFolders(const std::string& relative) {
    std::string path = result_.summary.folder;
    size_t start = 0;
    while (start < relative.size()) {
        const size_t end = relative.find('/', start);
        if (end == std::string::npos) break;
        path += "/" + relative.substr(start, end - start);
        if (::mkdir(path.c_str(), 0755) == 0) {
            created_folders_.push_back(path);
        } else if (errno != EEXIST) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool CEvidenceExport::CopyRecording(EvidenceItem* item) {
    const std::string source = CClipCatalog::FullPathOf(item->entry);
    const std::string relative = CleanSubFolder(item->entry.subFolder) + item->entry.fileName;
    if (!MakeFolders(relative)) {
        item->error =
            "cannot create its folder in the package: " + std::string(std::strerror(errno));
        return true;
    }
    const std::string copy = Absolute(relative);
    const std::string& name = item->entry.fileName;
    const VerifiedCopyResult copied = VerifiedCopy(source, copy, [this, &name](uint64_t bytes) {
        done_ += bytes;
        return observer_ == nullptr || observer_->OnProgress(name, done_, total_);
    });
    if (copied.status == VerifiedCopyResult::Status::kCancelled) return false;
    if (copied.status == VerifiedCopyResult::Status::kFailed) {
        item->error = copied.error;
        return true;
    }
    created_files_.push_back(copy);
    item->copied = true;
    item->copy_path = relative;
    item->sha256 = copied.sha256;
    item->size = copied.bytes;
    result_.summary.files.push_back({relative, copied.sha256, copied.bytes});
    return true;
}

bool CEvidenceExport::WriteFile(const std::string& relative, const std::string& content,
                                bool listed) {
    if (!MakeFolders(relative) || !WriteFileAtomically(Absolute(relative), content)) {
        result_.summary.problems.push_back(Absolute(relative) +
                                           ": cannot be written: " + std::strerror(errno));
        return false;
    }
    created_files_.push_back(Absolute(relative));
    if (listed) {
        result_.summary.files.push_back({relative, Sha256Hex(content), content.size()});
    }
    return true;
}

void CEvidenceExport::WriteTelemetry(const EvidenceItem& item) {
    const ClipEntry& entry = item.entry;
    const RecordingTelemetry& t = item.telemetry;
    const std::string folder = "telemetry/" + CleanSubFolder(entry.subFolder);
    const std::string stem = StemOf(entry.fileName);
    WriteFile(folder + KmlFileName(entry.fileName, entry.info.startTime),
              KmlDocument(entry.fileName, entry.subFolder, entry.info.startTime, t.gps), true);
    WriteFile(folder + GpxFileName(entry.fileName, entry.info.startTime),
              GpxDocument(entry.fileName, t.gps), true);
    WriteFile(folder + stem + "_gps.csv", GpsCsv(t.gps), true);
    WriteFile(folder + stem + "_gsensor.csv", GSensorCsv(t.gsensor, t.duration_ms, t.g_range),
              true);
}

void CEvidenceExport::BuildTrips() {
    const std::vector<EvidenceItem>& items = result_.summary.items;
    const EvidenceItem* previous = nullptr;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].copied) continue;
        const ClipInfo& info = items[i].entry.info;
        bool follows = false;
        if (previous != nullptr) {
            const int64_t expected =
                previous->entry.info.startTime + previous->entry.info.lengthSeconds;
            follows = info.startTime >= expected - 2 && info.startTime <= expected + 2;
        }
        if (!follows) result_.summary.trips.emplace_back();
        result_.summary.trips.back().push_back(i);
        previous = &items[i];
    }
}

void CEvidenceExport::WriteReport() {
    if (report_ == nullptr) return;
    std::string pdf;
    if (!report_->Render(result_.summary, &pdf) || pdf.empty()) {
        result_.summary.problems.push_back(Absolute(kEvidenceReportName) +
                                           ": the report could not be drawn");
        return;
    }
    WriteFile(kEvidenceReportName, pdf, true);
}

EvidenceResult CEvidenceExport::Cancelled() {
    for (auto it = created_files_.rbegin(); it != created_files_.rend(); ++it) {
        ::unlink(it->c_str());
    }
    // Deepest first; a folder someone else put files into meanwhile stays.
    for (auto it = created_folders_.rbegin(); it != created_folders_.rend(); ++it) {
        ::rmdir(it->c_str());
    }
    result_.status = EvidenceStatus::kCancelled;
    return std::move(result_);
}

EvidenceResult CEvidenceExport::Run(std::vector<ClipEntry> entries, const std::string& target) {
    std::stable_sort(entries.begin(), entries.end(), [](const ClipEntry& a, const ClipEntry& b) {
        return a.info.startTime < b.info.startTime;
    });
    for (ClipEntry& entry : entries) {
        EvidenceItem item;
        item.entry = std::move(entry);
        total_ += 2 * item.entry.info.fileSize;
        result_.summary.items.push_back(std::move(item));
    }
    if (result_.summary.items.empty()) {
        result_.summary.problems.push_back("no recordings to export");
        return std::move(result_);
    }
    if (!MakePackageFolder(target, result_.summary.items.front().entry.info.startTime)) {
        return std::move(result_);
    }
    for (EvidenceItem& item : result_.summary.items) {
        if (!CopyRecording(&item)) return Cancelled();
        if (!item.copied) {
            result_.summary.problems.push_back(CClipCatalog::FullPathOf(item.entry) + ": " +
                                               item.error);
            continue;
        }
        // Read from the verified copy: the card is read only once.
        ReadRecordingTelemetry(Absolute(item.copy_path), item.entry.info, &item.telemetry);
        item.peak = FindPeakG(item.telemetry);
        WriteTelemetry(item);
        if (observer_ != nullptr && !observer_->OnProgress(item.entry.fileName, done_, total_)) {
            return Cancelled();
        }
    }
    BuildTrips();
    WriteReport();
    if (observer_ != nullptr && !observer_->OnProgress(kEvidenceReportName, done_, total_)) {
        return Cancelled();
    }
    WriteFile(kEvidenceSumsName, Sha256SumsText(result_.summary.files), false);
    result_.status =
        result_.summary.problems.empty() ? EvidenceStatus::kComplete : EvidenceStatus::kIncomplete;
    return std::move(result_);
}

}  // namespace

std::string EvidenceFolderName(int64_t start_time) {
    return "Orvo evidence " + FormatLocalTime(start_time, "%Y-%m-%d %H-%M-%S");
}

EvidenceResult ExportEvidence(std::vector<ClipEntry> entries, const std::string& target,
                              IEvidenceObserver* observer, IEvidenceReport* report) {
    CEvidenceExport run(observer, report);
    return run.Run(std::move(entries), target);
}

}  // namespace orvo
