#pragma once

// What the map benchmarks share: a map view in a plain window, waiting for
// its page, and reading the page's drawing state.

#include <algorithm>
#include <chrono>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEnginePage>
#include <QWidget>

#include "gps/html_map_dlg.h"

namespace orvo::bench {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The page's map_state(), waited for.
inline QJsonObject State(QWebEnginePage* page) {
    QJsonObject state;
    bool done = false;
    page->runJavaScript("JSON.stringify(map_state())", [&](const QVariant& v) {
        state = QJsonDocument::fromJson(v.toString().toUtf8()).object();
        done = true;
    });
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return state;
}

// A 1000x700 map filling the window, shown, its page loaded (up to 30 s).
// Null when the page did not load.
inline CHtmlMapDlg* ShowLoadedMap(QWidget* window) {
    window->resize(1000, 700);
    auto* map = new CHtmlMapDlg(window);
    map->setGeometry(0, 0, 1000, 700);
    window->show();
    int load_result = -1;
    QObject::connect(map, &CHtmlMapDlg::PageLoaded, [&](bool ok) { load_result = ok ? 1 : 0; });
    map->LoadPage();
    QElapsedTimer waited;
    waited.start();
    while (load_result < 0 && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return load_result == 1 ? map : nullptr;
}

}  // namespace orvo::bench
