// The map view with the real browser and the real page, without network:
// what the page holds is read back from the page itself.
#include "gps/html_map_dlg.h"

#include <atomic>
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "gps/map_script.h"
#include "library/clip_catalog.h"
#include "tests/library/card_files.h"
#include "tests/map/page_state.h"

namespace orvo {
namespace {

constexpr int kWaitMs = testing::kPageWaitMs;

using testing::Evaluate;
using testing::PageState;

class HtmlMapDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        window_->resize(900, 700);
        auto* placeholder = new QWidget(window_.get());
        placeholder->setGeometry(100, 50, 604, 454);
        placeholder_ = placeholder;
        map_ = new CHtmlMapDlg(window_.get());
        map_->PlaceInParent(placeholder);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }

    void LoadAndWait() {
        QSignalSpy loaded(map_, &CHtmlMapDlg::PageLoaded);
        map_->LoadPage();
        ASSERT_TRUE(loaded.wait(kWaitMs));
        ASSERT_TRUE(loaded.takeFirst().at(0).toBool());
    }

    std::unique_ptr<QWidget> window_;
    QPointer<QWidget> placeholder_;
    CHtmlMapDlg* map_ = nullptr;
};

TEST_F(HtmlMapDlgTest, TakesThePlaceholdersRectangleShrunkByTwo) {
    EXPECT_TRUE(placeholder_.isNull());
    EXPECT_EQ(map_->geometry(), QRect(102, 52, 600, 450));
    EXPECT_TRUE(map_->isVisible());
    EXPECT_EQ(map_->objectName(), "1004");
}

TEST_F(HtmlMapDlgTest, StartsAtTheInitialViewWithEmptyLines) {
    LoadAndWait();
    const QJsonObject state = PageState(*map_);
    ASSERT_TRUE(state.value("ready").toBool());
    EXPECT_EQ(state.value("track").toInt(), 0);
    EXPECT_EQ(state.value("driven").toInt(), 0);
    EXPECT_NEAR(state.value("center")[0].toDouble(), 35.658517, 1e-6);
    EXPECT_NEAR(state.value("center")[1].toDouble(), 139.745493, 1e-6);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), 35.658517, 1e-6);
    EXPECT_EQ(state.value("zoom").toInt(), 15);
}

TEST_F(HtmlMapDlgTest, CallsSentWhileLoadingAreRunOnceThePageIsThere) {
    QSignalSpy loaded(map_, &CHtmlMapDlg::PageLoaded);
    map_->LoadPage();
    map_->RunScript(std::string(kPathDrivedDeleteScript));
    map_->RunScript(std::string(kPathDeleteScript));
    for (int i = 0; i < 100; ++i) map_->RunScript(PathPlotScript(37.5 + i * 1e-4, 127.0));
    map_->MoveMarker(37.315, 127.012, 90);
    EXPECT_EQ(map_->ScriptExecutions(), 0);
    ASSERT_TRUE(loaded.wait(kWaitMs));

    const QJsonObject state = PageState(*map_);
    EXPECT_EQ(state.value("track").toInt(), 100);
    EXPECT_EQ(state.value("trackDrawn").toInt(), 100);
    EXPECT_EQ(state.value("driven").toInt(), 1);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), 37.525, 1e-9);
    EXPECT_NEAR(state.value("marker")[1].toDouble(), 127.02, 1e-9);
    EXPECT_NEAR(state.value("center")[0].toDouble(), 37.525, 1e-6);
    // Everything queued went out in one script execution.
    EXPECT_EQ(map_->ScriptExecutions(), 1);
}

TEST_F(HtmlMapDlgTest, ALongTrackIsOneExecutionAndOneRedraw) {
    LoadAndWait();
    const int redraws_before = PageState(*map_).value("redraws").toInt();
    const int executions_before = map_->ScriptExecutions();
    map_->RunScript(std::string(kPathDrivedDeleteScript));
    map_->RunScript(std::string(kPathDeleteScript));
    for (int i = 0; i < 18000; ++i) {
        map_->RunScript(PathPlotScript(35.6 + i * 1e-5, 139.7 + i * 1e-5));
    }
    const QJsonObject state = PageState(*map_);
    EXPECT_EQ(state.value("track").toInt(), 18000);
    EXPECT_EQ(state.value("trackDrawn").toInt(), 18000);
    EXPECT_EQ(state.value("redraws").toInt(), redraws_before + 1);
    EXPECT_EQ(map_->ScriptExecutions(), executions_before + 1);
}

TEST_F(HtmlMapDlgTest, DrivenLineFollowsMarkerMovesAndPlots) {
    LoadAndWait();
    map_->SetMapChoice(kMapChoiceRaw);
    for (int i = 0; i < 60; ++i) map_->RunScript(PathPlotScript(37.0 + i * 1e-3, 127.0));
    map_->MoveMarker(37.315, 127.012, 0);
    QJsonObject state = PageState(*map_);
    EXPECT_EQ(state.value("driven").toInt(), 1);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), 37.315, 1e-9);
    EXPECT_NEAR(state.value("marker")[1].toDouble(), 127.012, 1e-9);

    map_->RunScript(std::string(kPathDrivedDeleteScript));
    for (int i = 0; i < 55; ++i) map_->RunScript(PathDrivedPlotScript(37.0 + i * 1e-3, 127.0));
    state = PageState(*map_);
    EXPECT_EQ(state.value("driven").toInt(), 55);
    EXPECT_EQ(state.value("drivenDrawn").toInt(), 55);

    map_->RunScript("pathdrived_plot_to_n(20)");
    EXPECT_EQ(PageState(*map_).value("driven").toInt(), 20);
    map_->RunScript("pathdrived_plot_to_n(1000)");
    EXPECT_EQ(PageState(*map_).value("driven").toInt(), 60);

    map_->RunScript("set_center(36.000000, 128.000000)");
    state = PageState(*map_);
    EXPECT_NEAR(state.value("center")[0].toDouble(), 36.0, 1e-6);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), 37.315, 1e-9);  // marker stays

    map_->RunScript(std::string(kPathDeleteScript));
    map_->RunScript(std::string(kPathDrivedDeleteScript));
    state = PageState(*map_);
    EXPECT_EQ(state.value("track").toInt(), 0);
    EXPECT_EQ(state.value("driven").toInt(), 0);
    EXPECT_EQ(state.value("trackDrawn").toInt(), 0);
}

TEST_F(HtmlMapDlgTest, CatalogueDrawsTrackDrivenLineAndMarker) {
    LoadAndWait();
    // 300 records at 10 per second; every seventh without a fix.
    testing::RecordingOptions options;
    for (int i = 0; i < 300; ++i) {
        GpsRecord r = testing::Fix(3731.5 + i * 0.01, 12701.2 + i * 0.01);
        if (i % 7 == 3) r.flags = 0;
        options.gps.push_back(r);
    }
    auto usable_below = [](int n) {
        int count = 0;
        for (int i = 0; i < n; ++i) count += i % 7 != 3 ? 1 : 0;
        return count;
    };
    testing::TempFolder card;
    testing::WriteRecording(card.path() / "FILE180501_120000.MOV", options);
    CClipCatalog catalog;
    catalog.Bind(nullptr, nullptr, map_, nullptr);
    ASSERT_EQ(catalog.Load(card.str(), "FILE180501_120000.MOV"), 1);
    ASSERT_EQ(catalog.SelectClip(0), 1);
    for (int64_t t = 1000; t <= 3000; t += 40) catalog.UpdateTelemetry(t, false, true);
    QJsonObject state = PageState(*map_);
    EXPECT_EQ(state.value("track").toInt(), usable_below(300));
    EXPECT_EQ(state.value("trackDrawn").toInt(), usable_below(300));
    // Records 10..30, one move each (10, 17 and 24 have no fix).
    EXPECT_EQ(state.value("driven").toInt(), 21 - 3);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), NmeaToDegrees((3731.5 + 0.3) / 100.0), 1e-6);
    EXPECT_NEAR(state.value("marker")[1].toDouble(), NmeaToDegrees((12701.2 + 0.3) / 100.0), 1e-6);

    // A seek to 5.5 s: the driven line runs up to record 54.
    catalog.RedrawDrivenPath(5500);
    state = PageState(*map_);
    EXPECT_EQ(state.value("driven").toInt(), usable_below(55));
    catalog.UpdateTelemetry(5500, false, true);
    state = PageState(*map_);
    EXPECT_EQ(state.value("driven").toInt(), usable_below(55) + 1);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), NmeaToDegrees((3731.5 + 0.55) / 100.0), 1e-6);

    // A clip without GPS clears both lines and leaves the marker.
    testing::RecordingOptions empty;
    testing::WriteRecording(card.path() / "FILE180501_120100.MOV", empty);
    catalog.Reset();
    ASSERT_EQ(catalog.Load(card.str(), "FILE180501_120100.MOV"), 1);
    ASSERT_EQ(catalog.SelectClip(0), 1);
    state = PageState(*map_);
    EXPECT_EQ(state.value("track").toInt(), 0);
    EXPECT_EQ(state.value("driven").toInt(), 0);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), NmeaToDegrees((3731.5 + 0.55) / 100.0), 1e-6);
}

TEST_F(HtmlMapDlgTest, ScriptErrorsAndDialogsStayInsideThePage) {
    LoadAndWait();
    // None of these may stop the calls after them or open anything; an
    // alert or prompt that opened a dialog would hang this test.
    map_->RunScript("no_such_function(1)");
    map_->RunScript("broken(");
    map_->RunScript("movpos(nan, inf)");
    map_->RunScript("path_plot(nan,1.000000)");
    map_->RunScript("alert('x')");
    map_->RunScript("window.confirmed = confirm('x'); window.prompted = prompt('x', 'y')");
    map_->RunScript("throw new Error('x')");
    map_->RunScript(PathPlotScript(1.0, 2.0));
    map_->RunScript("console.log('quiet')");
    const QJsonObject state = PageState(*map_);
    EXPECT_EQ(state.value("track").toInt(), 1);
    EXPECT_EQ(state.value("driven").toInt(), 0);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), 35.658517, 1e-6);
    EXPECT_EQ(Evaluate(testing::WebPage(*map_), "window.confirmed").toBool(), false);
    EXPECT_TRUE(Evaluate(testing::WebPage(*map_), "window.prompted").isNull());
}

// Counts the page loads that get as far as a network request (and stops
// them: there is no network here anyway).
class MainFrameRequests : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
            info.requestUrl().scheme() != "qrc") {
            ++count;
            info.block(true);
        }
    }
    std::atomic<int> count{0};
};

TEST_F(HtmlMapDlgTest, LinksAndLocationChangesDoNotLeaveThePage) {
    LoadAndWait();
    MainFrameRequests requests;
    testing::WebPage(*map_)->setUrlRequestInterceptor(&requests);
    map_->RunScript(PathPlotScript(1.0, 2.0));
    map_->RunScript(
        "var a = document.createElement('a'); a.href = 'https://link.invalid/';"
        "document.body.appendChild(a); a.click()");
    map_->RunScript("location.href = 'https://location.invalid/x'");
    QTest::qWait(1000);
    EXPECT_EQ(requests.count.load(), 0);
    EXPECT_EQ(testing::WebView(*map_)->url(), QUrl("qrc:/html/143"));
    // The view still talks to the same page.
    map_->RunScript(PathPlotScript(3.0, 4.0));
    const QJsonObject state = PageState(*map_);
    EXPECT_TRUE(state.value("ready").toBool());
    EXPECT_EQ(state.value("track").toInt(), 2);
    testing::WebPage(*map_)->setUrlRequestInterceptor(nullptr);
}

TEST_F(HtmlMapDlgTest, RightButtonNeverReachesThePage) {
    LoadAndWait();
    QWidget* target = testing::WebView(*map_)->focusProxy();
    ASSERT_NE(target, nullptr);
    const QPoint centre = target->rect().center();
    QTest::mousePress(target, Qt::RightButton, Qt::NoModifier, centre);
    QTest::mouseRelease(target, Qt::RightButton, Qt::NoModifier, centre);
    QTest::mouseDClick(target, Qt::RightButton, Qt::NoModifier, centre);
    // The left button does reach it: the counting works.
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, centre + QPoint(5, 5));
    QElapsedTimer timer;
    timer.start();
    QJsonObject state = PageState(*map_);
    while (state.value("leftPresses").toInt() == 0 && timer.elapsed() < 5000) {
        QTest::qWait(50);
        state = PageState(*map_);
    }
    EXPECT_GE(state.value("leftPresses").toInt(), 1);
    EXPECT_EQ(state.value("rightPresses").toInt(), 0);
    EXPECT_EQ(state.value("contextMenus").toInt(), 0);
    EXPECT_EQ(testing::WebView(*map_)->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST_F(HtmlMapDlgTest, ReloadStartsThePageAfresh) {
    LoadAndWait();
    for (int i = 0; i < 10; ++i) map_->RunScript(PathPlotScript(37.0 + i * 1e-3, 127.0));
    map_->MoveMarker(37.315, 127.012, 0);
    EXPECT_EQ(PageState(*map_).value("track").toInt(), 10);

    LoadAndWait();
    QJsonObject state = PageState(*map_);
    EXPECT_EQ(state.value("track").toInt(), 0);
    EXPECT_EQ(state.value("driven").toInt(), 0);
    EXPECT_NEAR(state.value("marker")[0].toDouble(), 35.658517, 1e-6);

    // The new page takes calls as the first did.
    map_->RunScript(PathPlotScript(1.0, 2.0));
    EXPECT_EQ(PageState(*map_).value("track").toInt(), 1);
}

// The main window paints before the browser starts: until StartBrowser
// there is no browser, and the page and scripts asked for meanwhile are
// kept for it.
TEST(HtmlMapDlgStartTest, BrowserStartedOnRequestGetsThePageAndTheQueuedScripts) {
    QWidget window;
    window.resize(600, 400);
    auto* map = new CHtmlMapDlg(&window, CHtmlMapDlg::BrowserStart::kOnRequest);
    map->setGeometry(10, 10, 500, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    map->LoadPage();
    for (int i = 0; i < 5; ++i) map->RunScript(PathPlotScript(37.5 + i * 1e-4, 127.0));
    QTest::qWait(100);
    EXPECT_EQ(map->view(), nullptr);
    EXPECT_FALSE(map->IsPageReady());

    QSignalSpy loaded(map, &CHtmlMapDlg::PageLoaded);
    map->StartBrowser();
    map->StartBrowser();  // once only
    ASSERT_NE(map->view(), nullptr);
    ASSERT_TRUE(loaded.wait(kWaitMs));
    EXPECT_TRUE(loaded.takeFirst().at(0).toBool());
    EXPECT_TRUE(
        QTest::qWaitFor([map] { return PageState(*map).value("track").toInt() == 5; }, kWaitMs));
    EXPECT_EQ(map->findChildren<QWebEngineView*>().size(), 1);
}

}  // namespace
}  // namespace orvo
