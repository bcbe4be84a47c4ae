#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QTimer>
#include <QWidget>

#include "gps/map_browser.h"
#include "gps/map_tile_source.h"
#include "library/clip_views.h"

namespace orvo {

// Control id of the main window's placeholder that the map view replaces.
inline constexpr int kMapPlaceholderId = 1004;
// Resource id of the map page.
inline constexpr int kMapPageResourceId = 143;

// The map beside the video: the program's own map page in an embedded
// browser, driven by short script calls. The browser is silent: no script
// dialogs, no console, no context menu.
//
// Script texts are queued and sent once per event-loop turn as few script
// executions as possible (a clip's whole track is thousands of calls), and
// texts sent while the page is still loading wait for it.
class CHtmlMapDlg : public QWidget, public IMapView {
    Q_OBJECT

public:
    // When the browser starts: at construction, or when StartBrowser is
    // called. Its start-up takes a good part of a second on the window
    // thread, so the main window paints first and starts it afterwards;
    // until then LoadPage and the scripts wait for it.
    enum class BrowserStart { kNow, kOnRequest };

    explicit CHtmlMapDlg(QWidget* parent, BrowserStart start = BrowserStart::kNow);
    ~CHtmlMapDlg() override;

    // Takes the placeholder's place: its rectangle in the parent's
    // coordinates shrunk by 2 pixels on every side, on top of its siblings,
    // shown. The placeholder is destroyed.
    void PlaceInParent(QWidget* placeholder);

    // Decides only whether marker positions are converted to degrees
    // (kMapChoiceConverted) or passed as stored / 100 (kMapChoiceRaw).
    void SetMapChoice(int map_choice) { map_choice_ = map_choice; }
    int MapChoice() const { return map_choice_; }

    // Loads page 143 from the resources; the page starts from its initial
    // state, so texts queued for the previous page are dropped. The tile
    // settings are read now: the chosen MBTiles file when it opens, else
    // the online tiles.
    void LoadPage();
    // Creates the browser and loads the page if LoadPage asked for it; once.
    void StartBrowser();
    // Where the page loaded last takes its tiles from.
    const MapTileSource& tile_source() const { return tile_source_; }

    // IMapView
    void RunScript(const std::string& script) override;
    void MoveMarker(double latitude, double longitude, int heading_degrees) override;

    bool IsPageReady() const { return state_ == PageState::kReady; }
    // The browser's view; nullptr until the browser has started (or when
    // its module could not be loaded).
    QWidget* view() const { return browser_ ? browser_->widget() : nullptr; }
    // Script executions handed to the browser so far (for tests and benchmarks).
    int ScriptExecutions() const { return script_executions_; }

Q_SIGNALS:
    // The page has finished loading (ok) or failed to.
    void PageLoaded(bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class PageState { kNone, kLoading, kReady, kFailed };

    void CreateBrowser();
    void ApplyTileSettings();
    void OnLoadFinished(bool ok);
    void FlushScripts();
    void WatchChildren(QObject* object);

    std::unique_ptr<IMapBrowser> browser_;
    bool browser_started_ = false;
    int map_choice_ = 0;
    PageState state_ = PageState::kNone;
    bool load_wanted_ = false;  // LoadPage came before the browser
    std::vector<std::string> pending_;
    QTimer flush_timer_;
    int script_executions_ = 0;
    MapTileSource tile_source_;
};

}  // namespace orvo
