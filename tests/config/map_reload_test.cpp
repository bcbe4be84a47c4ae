// The map page reloaded by a map change keeps the selected clip's track.
// Real browser and page: needs an X server (scripts/test.sh starts one).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "app/qor_settings.h"
#include "app/window_message_event.h"
#include "app/window_messages.h"
#include "config/pel_config_dlg.h"
#include "gps/html_map_dlg.h"
#include "tests/library/card_files.h"
#include "tests/map/page_state.h"
#include "tests/support/mbtiles_writer.h"

namespace orvo {
namespace {

constexpr int kWaitMs = testing::kPageWaitMs;

int TrackPoints(CHtmlMapDlg& map) {
    return testing::PageState(map).value("track").toInt();
}

TEST(MapReloadTest, MapChangeRedrawsTheSelectedClipsTrack) {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    CQORDlg window(nullptr, options);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* map = qobject_cast<CHtmlMapDlg*>(window.Control(kIdcMapView));
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([map] { return map->IsPageReady(); }, kWaitMs));

    testing::RecordingOptions recording;
    for (int i = 0; i < 40; ++i) {
        recording.gps.push_back(testing::Fix(3731.5 + i * 0.01, 12701.2 + i * 0.01));
    }
    testing::TempFolder card;
    testing::WriteRecording(card.path() / "FILE180501_120000.MOV", recording);
    ASSERT_EQ(window.catalog().Load(card.str(), "FILE180501_120000.MOV"), 1);
    ASSERT_EQ(window.catalog().SelectClip(0), 1);
    ASSERT_TRUE(QTest::qWaitFor([map] { return TrackPoints(*map) == 40; }, kWaitMs));

    QSignalSpy loaded(map, &CHtmlMapDlg::PageLoaded);
    CWindowMessageEvent changed(WM_MAP_CHANGED, 0);
    QCoreApplication::sendEvent(&window, &changed);
    ASSERT_TRUE(loaded.wait(kWaitMs));
    ASSERT_TRUE(loaded.takeFirst().at(0).toBool());
    EXPECT_EQ(window.map_provider(), 0);
    EXPECT_TRUE(QTest::qWaitFor([map] { return TrackPoints(*map) == 40; }, 5000));
    EXPECT_EQ(TrackPoints(*map), 40);
}

TEST(MapReloadTest, AMapFileChosenInTheDialogIsShownAtOnce) {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    CQORDlg window(nullptr, options);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* map = qobject_cast<CHtmlMapDlg*>(window.Control(kIdcMapView));
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([map] { return map->IsPageReady(); }, kWaitMs));
    EXPECT_EQ(map->tile_source().kind, MapTileSource::Kind::kOnline);

    testing::TempFolder folder;
    const auto file = folder.path() / "region.mbtiles";
    {
        test_support::MbtilesWriter w(file);
        w.SetMetadata("minzoom", "3");
        w.SetMetadata("maxzoom", "12");
        w.AddTile(3, 7, 3, {0x89, 'P', 'N', 'G'});
    }
    QSignalSpy loaded(map, &CHtmlMapDlg::PageLoaded);
    {
        CPelConfigDlg config(&window);
        ASSERT_EQ(config.ApplyMapFile(QString::fromStdString(file.string())), MbtilesStatus::kOk);
    }
    ASSERT_TRUE(loaded.wait(kWaitMs));
    EXPECT_EQ(map->tile_source().kind, MapTileSource::Kind::kFile);
    EXPECT_EQ(map->tile_source().max_zoom, 12);
    EXPECT_EQ(testing::PageState(*map).value("tileKind").toString(), "file");
    CQorSettings::Instance().WriteMapTiles("");
}

}  // namespace
}  // namespace orvo
