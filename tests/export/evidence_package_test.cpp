#include "export/evidence_package.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export/sha256.h"
#include "export/sha256_sums.h"
#include "export/verified_copy.h"
#include "tests/cli/cli_runner.h"
#include "tests/library/card_files.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using test_support::RunCommand;
using test_support::ShellQuote;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteRecording;

const bool kZoneSet = test_support::PinTimeZone("UTC0");

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) names.push_back(fs::relative(item.path(), folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// sha256sum -c in the folder; its exit status and output.
test_support::CommandResult CheckSums(const fs::path& folder) {
    return RunCommand("cd " + ShellQuote(folder.string()) + " && sha256sum -c SHA256SUMS");
}

TEST(Sha256Test, KnownVectorsPiecesAndTheSystemTool) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    CSha256 pieces;
    pieces.Update("ab", 2);
    pieces.Update("c", 1);
    EXPECT_EQ(pieces.FinishHex(), Sha256Hex("abc"));
    TempFolder folder;
    const fs::path file = folder.path() / "big";
    std::string bytes(5'000'001, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 977);
    std::ofstream(file, std::ios::binary) << bytes;
    std::string hex;
    ASSERT_TRUE(Sha256OfFile(file.string(), &hex, nullptr));
    const auto tool = RunCommand("sha256sum " + ShellQuote(file.string()));
    EXPECT_EQ(tool.out.substr(0, 64), hex);
    std::string error;
    EXPECT_FALSE(Sha256OfFile((folder.path() / "missing").string(), &hex, &error));
    EXPECT_FALSE(error.empty());
}

TEST(Sha256SumsTest, SystemToolAcceptsEveryNameIncludingEscapedOnes) {
    TempFolder folder;
    const std::vector<std::pair<std::string, std::string>> files = {{"a/plain.MOV", "one"},
                                                                    {"with space.csv", "two"},
                                                                    {"back\\slash", "three"},
                                                                    {"line\nfeed", "four"},
                                                                    {"日本語.KML", "five"}};
    std::vector<PackageFile> listed;
    for (const auto& [name, content] : files) {
        fs::create_directories((folder.path() / name).parent_path());
        std::ofstream(folder.path() / name) << content;
        listed.push_back({name, Sha256Hex(content), content.size()});
    }
    std::ofstream(folder.path() / "SHA256SUMS") << Sha256SumsText(listed);
    const auto check = CheckSums(folder.path());
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    // A changed file fails the check.
    std::ofstream(folder.path() / "with space.csv") << "changed";
    EXPECT_NE(CheckSums(folder.path()).status, 0);
}

TEST(VerifiedCopyTest, CopiesReadOnlyRefusesExistingAndCancelsCleanly) {
    TempFolder folder;
    const std::string source = (folder.path() / "src").string();
    std::ofstream(source) << std::string(9 << 20, 'x');
    const std::string target = (folder.path() / "dst").string();
    uint64_t work = 0;
    const VerifiedCopyResult ok = VerifiedCopy(source, target, [&work](uint64_t n) {
        work += n;
        return true;
    });
    ASSERT_EQ(ok.status, VerifiedCopyResult::Status::kVerified) << ok.error;
    EXPECT_EQ(work, 2u * (9 << 20));  // copied and read back
    EXPECT_EQ(ok.sha256, Sha256Hex(ReadAll(source)));
    EXPECT_EQ(ReadAll(target), ReadAll(source));
    EXPECT_EQ(fs::last_write_time(target), fs::last_write_time(source));
    // Never over an existing file.
    const VerifiedCopyResult again = VerifiedCopy(source, target, nullptr);
    EXPECT_EQ(again.status, VerifiedCopyResult::Status::kFailed);
    EXPECT_EQ(ReadAll(target).size(), 9u << 20);
    const std::string other = (folder.path() / "other").string();
    const VerifiedCopyResult cancelled =
        VerifiedCopy(source, other, [](uint64_t) { return false; });
    EXPECT_EQ(cancelled.status, VerifiedCopyResult::Status::kCancelled);
    EXPECT_FALSE(fs::exists(other));
}

// A card of two trips: FILE 12:00 + FILE 12:01 (one trip), EMER 13:00.
class EvidencePackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::RecordingOptions options;
        options.gps = {testing::Fix(3539.3, 13944.9, 40), testing::Fix(3539.4, 13945.0, 42)};
        options.gsensor = {{0, 16, 0}, {0, 16, 0}, {60, 16, 0}, {0, 16, 0}};
        WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_120000.MOV", options);
        options.minute = 1;
        WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_120100.MOV", options);
        options.hour = 13;
        options.minute = 0;
        WriteRecording(card_.path() / "DCIM/EVENT/EMER180501_130000.MOV", options);
        ASSERT_EQ(catalog_.Load(card_.str(), ""), 1);
        ASSERT_EQ(catalog_.Count(), 3);
    }

    std::vector<ClipEntry> Entries() const { return catalog_.entries(); }

    TempFolder card_;
    TempFolder target_;
    CClipCatalog catalog_;
};

TEST_F(EvidencePackageTest, PackageHoldsCopiesTelemetryAndChecksumsThatVerify) {
    const auto card_before = Listing(card_.path());
    const EvidenceResult result = ExportEvidence(Entries(), target_.str(), nullptr, nullptr);
    ASSERT_EQ(result.status, EvidenceStatus::kComplete);
    const fs::path package = target_.path() / "Orvo evidence 2018-05-01 12-00-00";
    EXPECT_EQ(result.summary.folder, package.string());
    const auto files = Listing(package);
    for (const char* name : {"DCIM/MOVIE/FILE180501_120000.MOV", "DCIM/EVENT/EMER180501_130000.MOV",
                             "telemetry/DCIM/EVENT/EMER180501_130000_2018_05_01_13-00-00.KML",
                             "telemetry/DCIM/EVENT/EMER180501_130000_2018_05_01_13-00-00.GPX",
                             "telemetry/DCIM/EVENT/EMER180501_130000_gps.csv",
                             "telemetry/DCIM/EVENT/EMER180501_130000_gsensor.csv", "SHA256SUMS"}) {
        EXPECT_NE(std::find(files.begin(), files.end(), name), files.end()) << name;
    }
    EXPECT_EQ(files.size(), 3u + 3u * 4u + 1u);
    EXPECT_EQ(ReadAll(package / "DCIM/EVENT/EMER180501_130000.MOV"),
              ReadAll(card_.path() / "DCIM/EVENT/EMER180501_130000.MOV"));
    const auto check = CheckSums(package);
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_EQ(ReadAll(package / "SHA256SUMS").find("SHA256SUMS"), std::string::npos);
    // Two trips; the jolt of 60 counts (range 8) found at its time.
    ASSERT_EQ(result.summary.trips.size(), 2u);
    EXPECT_EQ(result.summary.trips[0].size(), 2u);
    ASSERT_TRUE(result.summary.items[2].peak.has_value());
    EXPECT_NEAR(result.summary.items[2].peak->g, 60 * 8 / 128.0, 1e-9);
    EXPECT_NEAR(result.summary.items[2].peak->time_ms, 30000, 1e-6);
    EXPECT_EQ(Listing(card_.path()), card_before);

    // A second export never merges into the first.
    const EvidenceResult second = ExportEvidence(Entries(), target_.str(), nullptr, nullptr);
    EXPECT_EQ(second.summary.folder, package.string() + " (2)");
}

// Runs an action the first time a given file reports progress.
class ActingObserver : public IEvidenceObserver {
public:
    ActingObserver(std::string file, std::function<bool()> action)
        : file_(std::move(file)), action_(std::move(action)) {}
    bool OnProgress(const std::string& current, uint64_t, uint64_t) override {
        if (current != file_ || done_) return true;
        done_ = true;
        return action_();
    }

private:
    std::string file_;
    std::function<bool()> action_;
    bool done_ = false;
};

TEST_F(EvidencePackageTest, CancelRemovesEverythingItWrote) {
    ActingObserver cancel("EMER180501_130000.MOV", [] { return false; });
    const EvidenceResult result = ExportEvidence(Entries(), target_.str(), &cancel, nullptr);
    EXPECT_EQ(result.status, EvidenceStatus::kCancelled);
    EXPECT_TRUE(fs::is_empty(target_.path()));
}

TEST_F(EvidencePackageTest, RecordingsThatVanishOrShrinkMidCopyAreLeftOutAndNamed) {
    const fs::path removed = card_.path() / "DCIM/MOVIE/FILE180501_120100.MOV";
    const fs::path shrunk = card_.path() / "DCIM/EVENT/EMER180501_130000.MOV";
    ActingObserver remove("FILE180501_120100.MOV", [&removed] { return fs::remove(removed); });
    EvidenceResult result = ExportEvidence(Entries(), target_.str(), &remove, nullptr);
    ASSERT_EQ(result.status, EvidenceStatus::kIncomplete);
    ASSERT_EQ(result.summary.problems.size(), 1u);
    EXPECT_NE(result.summary.problems[0].find("FILE180501_120100.MOV"), std::string::npos);
    EXPECT_NE(result.summary.problems[0].find("vanished"), std::string::npos);
    fs::path package = result.summary.folder;
    EXPECT_FALSE(fs::exists(package / "DCIM/MOVIE/FILE180501_120100.MOV"));
    EXPECT_EQ(ReadAll(package / "SHA256SUMS").find("FILE180501_120100"), std::string::npos);
    EXPECT_EQ(CheckSums(package).status, 0);

    catalog_.Load(card_.str(), "");
    ActingObserver shrink("EMER180501_130000.MOV", [&shrunk] {
        fs::resize_file(shrunk, 100);
        return true;
    });
    result = ExportEvidence(Entries(), target_.str(), &shrink, nullptr);
    ASSERT_EQ(result.status, EvidenceStatus::kIncomplete);
    EXPECT_NE(result.summary.problems[0].find("changed while it was copied"), std::string::npos);
    package = result.summary.folder;
    EXPECT_FALSE(fs::exists(package / "DCIM/EVENT/EMER180501_130000.MOV"));
    EXPECT_EQ(CheckSums(package).status, 0);
}

TEST_F(EvidencePackageTest, FullDiskLeavesOutTheRecordingThatDidNotFit) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    // A big second recording that cannot fit on a 3 MiB file system.
    testing::RecordingOptions big;
    big.hour = 12;
    big.minute = 30;
    WriteRecording(card_.path() / "DCIM/MOVIE/FILE180501_123000.MOV", big);
    {
        std::ofstream grow(card_.path() / "DCIM/MOVIE/FILE180501_123000.MOV",
                           std::ios::binary | std::ios::app);
        grow << std::string(5 << 20, 'z');
    }
    ASSERT_EQ(catalog_.Load(card_.str(), ""), 1);
    const fs::path small = target_.path() / "small";
    fs::create_directory(small);
    ASSERT_EQ(::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=3m"), 0) << std::strerror(errno);
    const EvidenceResult result = ExportEvidence(Entries(), small.string(), nullptr, nullptr);
    const fs::path package = result.summary.folder;
    const auto check = CheckSums(package);
    const auto files = Listing(package);
    ::umount(small.c_str());
    ASSERT_EQ(result.status, EvidenceStatus::kIncomplete);
    ASSERT_FALSE(result.summary.problems.empty());
    EXPECT_NE(result.summary.problems[0].find("FILE180501_123000.MOV"), std::string::npos);
    EXPECT_NE(result.summary.problems[0].find("No space left"), std::string::npos);
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_EQ(std::count(files.begin(), files.end(), "DCIM/MOVIE/FILE180501_123000.MOV"), 0);
    EXPECT_EQ(std::count(files.begin(), files.end(), "DCIM/EVENT/EMER180501_130000.MOV"), 1);
}

}  // namespace
}  // namespace orvo
