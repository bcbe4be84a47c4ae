// Time to plot the track of a 30-minute recording at 10 Hz (18 000 points)
// from SelectClip until the page has painted the whole line; the goal is
// 200 ms. The recording is written to a temporary folder first. Prints one
// line per run, the first (cold) run and the median.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "bench/map/map_bench_page.h"
#include "gps/html_map_dlg.h"
#include "library/clip_catalog.h"
#include "tests/support/recording_writer.h"

namespace {

using namespace orvo::bench;

constexpr int kPoints = 18000;  // 30 minutes at 10 Hz
constexpr int kRuns = 15;

// A wiggly 30-minute drive, every record with a fix.
std::filesystem::path WriteLongRecording() {
    using namespace orvo::test_support;
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "orvo-map-bench";
    std::filesystem::create_directories(dir);
    RecordingSpec recording;
    recording.duration_ms = kPoints * 100;
    GpsTrackOptions track;
    track.count = kPoints;
    track.rate = 10;
    recording.gps = MakeGpsTrack(track);
    for (size_t i = 0; i < recording.gps.size(); ++i) {
        recording.gps[i].latitude = 3539.5 + i * 1.2e-4 + 6e-3 * std::sin(i / 50.0);
        recording.gps[i].longitude = 13944.7 + i * 1.8e-4 + 6e-3 * std::cos(i / 70.0);
        recording.gps[i].flags = 1;
    }
    BuildCameraMov(recording).WriteFile(dir / "FILE180501_120000.MOV");
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QTWEBENGINE_DISABLE_SANDBOX") == nullptr) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWidget window;
    orvo::CHtmlMapDlg* map = ShowLoadedMap(&window);
    if (map == nullptr) {
        std::fprintf(stderr, "map page did not load\n");
        return 1;
    }
    QWebEnginePage* page = qobject_cast<QWebEngineView*>(map->view())->page();

    const std::filesystem::path dir = WriteLongRecording();
    orvo::CClipCatalog catalog;
    catalog.Bind(nullptr, nullptr, map, nullptr);
    if (catalog.Load(dir.string(), "FILE180501_120000.MOV") != 1) {
        std::fprintf(stderr, "recording not accepted\n");
        return 1;
    }

    std::vector<double> select_ms, executed_ms, line_ms, painted_ms;
    for (int run = 0; run < kRuns; ++run) {
        const QJsonObject before = State(page);
        const int redraws_before = before.value("redraws").toInt();
        const int painted_before = before.value("painted").toInt();
        const auto start = Clock::now();
        if (catalog.SelectClip(0) != 1) return 1;
        select_ms.push_back(MsSince(start));
        // Wait for the page: first the calls have run, then the line is painted.
        double executed = -1;
        for (;;) {
            const QJsonObject s = State(page);
            const bool drawn = s.value("redraws").toInt() > redraws_before &&
                               s.value("trackDrawn").toInt() == kPoints;
            if (executed < 0 && drawn) executed = MsSince(start);
            if (drawn && s.value("painted").toInt() > painted_before) break;
        }
        executed_ms.push_back(executed);
        painted_ms.push_back(MsSince(start));
        line_ms.push_back(State(page).value("flushMs").toDouble());
        std::printf(
            "run %2d: SelectClip %6.1f ms, calls run %6.1f ms (line update %5.1f), "
            "painted %6.1f ms\n",
            run, select_ms.back(), executed_ms.back(), line_ms.back(), painted_ms.back());
    }
    std::printf(
        "%d points, median of %d runs: SelectClip %.1f ms, calls run %.1f ms, line update "
        "%.1f ms, painted %.1f ms (goal 200 ms); first run painted %.1f ms; %d script "
        "executions\n",
        kPoints, kRuns, Median(select_ms), Median(executed_ms), Median(line_ms), Median(painted_ms),
        painted_ms.front(), map->ScriptExecutions());
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
