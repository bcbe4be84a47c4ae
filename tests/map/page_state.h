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

// The map's browser view and page (the view is a QWidget to the map view,
// which does not link the browser).
inline QWebEngineView* WebView(const CHtmlMapDlg& map) {
    return qobject_cast<QWebEngineView*>(map.view());
}
inline QWebEnginePage* WebPage(const CHtmlMapDlg& map) {
    QWebEngineView* view = WebView(map);
    return view != nullptr ? view->page() : nullptr;
}

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
    const QVariant v = Evaluate(WebPage(map), "JSON.stringify(map_state())");
    return QJsonDocument::fromJson(v.toString().toUtf8()).object();
}

}  // namespace orvo::testing
