#pragma once

// Reads what the real map page holds, straight from the page.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "gps/html_map_dlg.h"

namespace orvo::testing {

inline constexpr int kPageWaitMs = 30000;

// Runs a script in the page and returns its result (waits for it).
inline QVariant Evaluate(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < kPageWaitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_TRUE(done) << "no answer to: " << script.toStdString();
    return result;
}

// Lets the view's queued texts go out, then reads the page's state after
// its pending line update.
inline QJsonObject PageState(CHtmlMapDlg& map) {
    QCoreApplication::processEvents();
    QTest::qWait(20);
    const QVariant v = Evaluate(map.view()->page(), "JSON.stringify(map_state())");
    return QJsonDocument::fromJson(v.toString().toUtf8()).object();
}

}  // namespace orvo::testing
