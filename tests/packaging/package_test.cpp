// Builds the Debian package from the build tree once, then checks it with
// lintian, desktop-file-validate, appstreamcli and man, and runs the programs
// unpacked from it.

#include <dlfcn.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/cli/cli_runner.h"
#include "tests/support/recording_writer.h"

namespace orvo {
namespace {

using namespace test_support;
namespace fs = std::filesystem;

class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work_ = fs::temp_directory_path() / ("orvo-package-" + std::to_string(::getpid()));
        fs::remove_all(work_);
        fs::create_directories(work_ / "root");
        const CommandResult pack =
            RunCommand("cd " + ShellQuote(ORVO_BUILD_DIR) + " && cpack -G DEB -B " +
                       ShellQuote((work_ / "pkg").string()));
        ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
        for (const fs::directory_entry& e : fs::directory_iterator(work_ / "pkg")) {
            if (e.path().extension() == ".deb") deb_ = e.path();
        }
        ASSERT_FALSE(deb_.empty()) << "cpack wrote no .deb";
        const CommandResult unpack = RunCommand("dpkg-deb -x " + ShellQuote(deb_.string()) + " " +
                                                ShellQuote((work_ / "root").string()));
        ASSERT_EQ(unpack.status, 0) << unpack.err;
    }
    static void TearDownTestSuite() { fs::remove_all(work_); }

    static fs::path Unpacked(const std::string& relative) { return work_ / "root" / relative; }

    static inline fs::path work_;
    static inline fs::path deb_;
};

TEST_F(PackageTest, NamedAfterTheVersionWithItsRuntimeDependencies) {
    EXPECT_EQ(deb_.filename().string(),
              std::string("orvo-player_") + ORVO_VERSION_TEXT + "_amd64.deb");
    const CommandResult control =
        RunCommand("dpkg-deb -f " + ShellQuote(deb_.string()) + " Package Version Depends");
    ASSERT_EQ(control.status, 0) << control.err;
    EXPECT_NE(control.out.find(std::string("Version: ") + ORVO_VERSION_TEXT), std::string::npos);
    // Loaded at run time, so named by hand: the engine, its plug-ins and
    // their cache, the browser's helper process, the X11 platform plug-in
    // and a Japanese font.
    for (const char* package :
         {"libvlc5", "libvlc-bin", "vlc-plugin-base", "vlc-plugin-video-output",
          "libqt6webenginecore6-bin", "qt6-qpa-plugins", "fonts-noto-cjk"}) {
        EXPECT_NE(control.out.find(package), std::string::npos) << package;
    }
    // Computed from the binaries.
    EXPECT_NE(control.out.find("libqt6widgets6"), std::string::npos) << control.out;
    EXPECT_NE(control.out.find("libc6"), std::string::npos) << control.out;
}

TEST_F(PackageTest, LintianReportsNoErrors) {
    const CommandResult lintian =
        RunCommand("lintian --fail-on error --tag-display-limit 0 " + ShellQuote(deb_.string()));
    EXPECT_EQ(lintian.status, 0) << lintian.out << lintian.err;
    EXPECT_EQ(lintian.out.find("E: "), std::string::npos) << lintian.out;
    if (!lintian.out.empty()) std::cout << "lintian:\n" << lintian.out;
}

TEST_F(PackageTest, DesktopEntryMetainfoAndManPagesValidate) {
    const fs::path desktop = Unpacked("usr/share/applications/orvo-player.desktop");
    const CommandResult d = RunCommand("desktop-file-validate " + ShellQuote(desktop.string()));
    EXPECT_EQ(d.status, 0) << d.out << d.err;
    EXPECT_EQ(d.out, "");
    const std::string entry = ReadWholeFile(desktop);
    for (const char* mime : {"video/quicktime", "video/mp4", "video/x-msvideo"}) {
        EXPECT_NE(entry.find(mime), std::string::npos) << mime;
    }

    const fs::path metainfo = Unpacked("usr/share/metainfo/org.orvoplayer.OrvoPlayer.metainfo.xml");
    const CommandResult m =
        RunCommand("appstreamcli validate --no-net " + ShellQuote(metainfo.string()));
    EXPECT_EQ(m.status, 0) << m.out << m.err;
    EXPECT_NE(ReadWholeFile(metainfo).find(std::string("version=\"") + ORVO_VERSION_TEXT),
              std::string::npos);

    for (const char* page : {"orvo-player.1.gz", "orvo-info.1.gz"}) {
        const fs::path path = Unpacked(std::string("usr/share/man/man1/") + page);
        ASSERT_TRUE(fs::exists(path)) << page;
        const CommandResult man =
            RunCommand("MANWIDTH=80 man --warnings -l " + ShellQuote(path.string()));
        EXPECT_EQ(man.status, 0) << page << man.err;
        EXPECT_EQ(man.err, "") << page;
        EXPECT_NE(man.out.find("EXIT STATUS"), std::string::npos) << page;
    }
    for (const char* size : {"16x16", "48x48", "256x256"}) {
        EXPECT_TRUE(fs::exists(
            Unpacked(std::string("usr/share/icons/hicolor/") + size + "/apps/orvo-player.png")))
            << size;
    }
    EXPECT_TRUE(fs::exists(Unpacked("usr/share/icons/hicolor/scalable/apps/orvo-player.svg")));
    EXPECT_NE(ReadWholeFile(Unpacked("usr/share/doc/orvo-player/copyright")).find("Leaflet"),
              std::string::npos);
}

TEST_F(PackageTest, UnpackedOrvoInfoReadsARecording) {
    const fs::path card = work_ / "card";
    fs::create_directories(card);
    RecordingSpec recording;
    GpsTrackOptions gps;
    gps.count = 30;
    recording.gps = MakeGpsTrack(gps);
    recording.gsensor = MakeGSensorTrack(30);
    const fs::path file = card / "NORM240501_080000.MOV";
    BuildCameraMov(recording).WriteFile(file);

    const std::string info = ShellQuote(Unpacked("usr/bin/orvo-info").string());
    const CommandResult probe = RunCommand(info + " probe " + ShellQuote(file.string()));
    ASSERT_EQ(probe.status, 0) << probe.out << probe.err;
    const nlohmann::json line = nlohmann::json::parse(probe.out);
    EXPECT_EQ(line["accepted"], true);
    EXPECT_EQ(line["gpsSize"], 30 * 32);
}

TEST_F(PackageTest, UnpackedViewerAnswersWithoutADisplay) {
    const std::string player =
        "env -u DISPLAY " + ShellQuote(Unpacked("usr/bin/orvo-player").string());
    const CommandResult version = RunCommand(player + " --version");
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, std::string("orvo-player ") + ORVO_VERSION_TEXT + "\n");
    const CommandResult help = RunCommand(player + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--config-home"), std::string::npos);
}

// The viewer loads its clip export on the first export and the map's
// browser when the map starts: both must be in the package, beside the
// viewer's library, and load with what they need.
TEST_F(PackageTest, UnpackedModulesLoad) {
    const std::pair<const char*, const char*> modules[] = {
        {"liborvo-clip-export.so", "orvo_clip_export_entry_points"},
        {"liborvo-map-browser.so", "orvo_map_browser_entry_points"}};
    for (const auto& [file, entry_name] : modules) {
        SCOPED_TRACE(file);
        const fs::path module = Unpacked("usr/lib/orvo-player") / file;
        ASSERT_TRUE(fs::exists(module));
        void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        using Entry = const void* (*)();
        const auto entry = reinterpret_cast<Entry>(dlsym(handle, entry_name));
        ASSERT_NE(entry, nullptr);
        EXPECT_NE(entry(), nullptr);
    }
}

// Runs the unpacked viewer as the application menu does and waits for its
// window on the X server of the test run.
TEST_F(PackageTest, UnpackedViewerStartedFromTheMenuShowsItsWindowAndKeepsHomeClean) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X server (xvfb-run)";
    const fs::path home = work_ / "home";
    const fs::path launch = work_ / "launch";
    fs::create_directories(home);
    fs::create_directories(launch);
    const fs::path card = work_ / "menu-card";
    fs::create_directories(card);

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::chdir(launch.c_str());
        ::setenv("HOME", home.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        const std::string player = Unpacked("usr/bin/orvo-player").string();
        ::execl(player.c_str(), player.c_str(), "--config-home", card.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    bool shown = false;
    for (int i = 0; i < 300 && !shown; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const CommandResult tree = RunCommand("xwininfo -root -tree");
        shown = tree.out.find("\"orvo-player\"") != std::string::npos;
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) FAIL() << "the viewer ended early";
    }
    const fs::path cwd = fs::read_symlink("/proc/" + std::to_string(pid) + "/cwd");
    const CommandResult shot =
        RunCommand("import -window root " + ShellQuote((work_ / "menu.png").string()));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);

    EXPECT_TRUE(shown) << "no window of the unpacked viewer appeared";
    EXPECT_EQ(shot.status, 0) << shot.err;
    EXPECT_EQ(cwd, home / ".config" / "orvo-player");
    EXPECT_TRUE(fs::is_directory(home / ".config" / "orvo-player"));
    EXPECT_TRUE(fs::is_empty(launch)) << "the settings file belongs in the configuration folder";
}

}  // namespace
}  // namespace orvo
