// Time to plot the track of a 30-minute recording at 10 Hz (18 000 points):
// from the first script call until the page has painted the whole line.
// Prints one line per run and the median; the goal is 200 ms.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "gps/html_map_dlg.h"
#include "gps/map_script.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPoints = 18000;
constexpr int kRuns = 15;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

QJsonObject State(QWebEnginePage* page) {
    QJsonObject state;
    bool done = false;
    page->runJavaScript("JSON.stringify(map_state())", [&](const QVariant& v) {
        state = QJsonDocument::fromJson(v.toString().toUtf8()).object();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    return state;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QTWEBENGINE_DISABLE_SANDBOX") == nullptr) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1000, 700);
    auto* map = new orvo::CHtmlMapDlg(&window);
    map->setGeometry(0, 0, 1000, 700);
    window.show();
    int load_result = -1;
    QObject::connect(map, &orvo::CHtmlMapDlg::PageLoaded,
                     [&](bool ok) { load_result = ok ? 1 : 0; });
    map->LoadPage();
    QElapsedTimer waited;
    waited.start();
    while (load_result < 0 && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    if (load_result != 1) {
        std::fprintf(stderr, "map page did not load\n");
        return 1;
    }
    QWebEnginePage* page = map->view()->page();

    // A wiggly track around the start position, as the camera would record it.
    std::vector<std::pair<double, double>> track;
    for (int i = 0; i < kPoints; ++i) {
        track.emplace_back(35.6585 + i * 2e-6 + 1e-4 * std::sin(i / 50.0),
                           139.7454 + i * 3e-6 + 1e-4 * std::cos(i / 70.0));
    }

    std::vector<double> texts_ms, executed_ms, painted_ms, line_ms;
    for (int run = 0; run < kRuns; ++run) {
        const QJsonObject before = State(page);
        const int redraws_before = before.value("redraws").toInt();
        const int painted_before = before.value("painted").toInt();
        const auto start = Clock::now();
        map->RunScript(std::string(orvo::kPathDrivedDeleteScript));
        map->RunScript(std::string(orvo::kPathDeleteScript));
        for (const auto& [lat, lon] : track) map->RunScript(orvo::PathPlotScript(lat, lon));
        texts_ms.push_back(MsSince(start));
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
            "run %2d: texts queued %6.1f ms, calls run %6.1f ms (line update %5.1f), "
            "painted %6.1f ms\n",
            run, texts_ms.back(), executed_ms.back(), line_ms.back(), painted_ms.back());
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf(
        "%d points, median of %d runs: texts %.1f ms, calls run %.1f ms, line update %.1f ms, "
        "painted %.1f ms (goal 200 ms); first run painted %.1f ms; script executions %d\n",
        kPoints, kRuns, median(texts_ms), median(executed_ms), median(line_ms), median(painted_ms),
        painted_ms.front(), map->ScriptExecutions());
    return 0;
}
