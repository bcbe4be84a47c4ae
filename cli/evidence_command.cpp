#include "cli/evidence_command.h"

#include <signal.h>
#include <stdlib.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/catalog_loading.h"
#include "cli/commands.h"
#include "export/evidence_package.h"
#include "library/clip_catalog.h"

#ifdef ORVO_EVIDENCE_REPORT
#include <QGuiApplication>

#include "export/evidence_report.h"
#endif

namespace orvo::cli {

namespace {

struct EvidenceArgs {
    std::vector<std::string> paths;
    std::string out;
    int language = 0;
};

bool ParseArgs(std::span<const std::string> args, EvidenceArgs* parsed) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" || args[i] == "--lang") {
            if (i + 1 >= args.size()) return false;
            const std::string& value = args[++i];
            if (args[i - 1] == "--out") {
                parsed->out = value;
            } else if (value == "en" || value == "ja") {
                parsed->language = value == "ja" ? 1 : 0;
            } else {
                return false;
            }
        } else if (args[i].starts_with("--")) {
            return false;
        } else {
            parsed->paths.push_back(args[i]);
        }
    }
    return !parsed->paths.empty() && !parsed->out.empty();
}

// The recordings of a folder (scan) or of one file; false when there are none.
bool CollectRecordings(const std::string& path, std::vector<ClipEntry>* entries,
                       std::set<std::string>* seen, std::ostream& err) {
    CClipCatalog catalog;
    int loaded = 0;
    if (LoadFolderOrFile(path, &catalog, &loaded) == PathKind::kMissing) {
        err << "orvo-info: " << path << ": no such file or folder\n";
        return false;
    }
    if (catalog.Count() == 0) {
        err << "orvo-info: " << path << ": no recordings\n";
        return false;
    }
    for (const ClipEntry& entry : catalog.entries()) {
        // The same recording named twice is copied once.
        char* real = ::realpath(CClipCatalog::FullPathOf(entry).c_str(), nullptr);
        const std::string key = real != nullptr ? real : CClipCatalog::FullPathOf(entry);
        ::free(real);
        if (seen->insert(key).second) entries->push_back(entry);
    }
    return true;
}

std::unique_ptr<IEvidenceReport> MakeReport(int language) {
#ifdef ORVO_EVIDENCE_REPORT
    // Fonts need a GUI application; the command never needs a display.
    if (QGuiApplication::instance() == nullptr) {
        if (::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "orvo-info";
        static char* argv[] = {name, nullptr};
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }
    return std::make_unique<CEvidenceReport>(language);
#else
    (void)language;
    return nullptr;
#endif
}

}  // namespace

int RunEvidence(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    EvidenceArgs parsed;
    if (!ParseArgs(args, &parsed)) return kExitUsage;
    // A file-size limit then fails the write (and is reported) instead of
    // ending the process halfway through a copy.
    ::signal(SIGXFSZ, SIG_IGN);
    std::vector<ClipEntry> entries;
    std::set<std::string> seen;
    for (const std::string& path : parsed.paths) {
        if (!CollectRecordings(path, &entries, &seen, err)) return kExitRejected;
    }
    std::unique_ptr<IEvidenceReport> report = MakeReport(parsed.language);
    const EvidenceResult result = ExportEvidence(entries, parsed.out, nullptr, report.get());
    for (const std::string& problem : result.summary.problems) {
        err << "orvo-info: " << problem << '\n';
    }
    if (!result.summary.folder.empty() && result.status != EvidenceStatus::kCancelled) {
        out << result.summary.folder << '\n';
    }
    out.flush();
    return result.status == EvidenceStatus::kComplete ? kExitOk : kExitRejected;
}

}  // namespace orvo::cli
