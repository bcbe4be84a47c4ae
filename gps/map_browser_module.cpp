// The module the window loads when its map starts.

#include <utility>

#include "gps/map_browser.h"
#include "gps/map_profile.h"
#include "gps/web_map_browser.h"

namespace {

orvo::IMapBrowser* Create(QWidget* parent, orvo::MapLoadFinished on_load_finished) {
    return new orvo::CWebMapBrowser(parent, std::move(on_load_finished));
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const orvo::MapBrowserEntryPoints*
orvo_map_browser_entry_points() {
    static const orvo::MapBrowserEntryPoints entry_points{&Create, &orvo::ProfileTileHandler,
                                                          &orvo::BrowserUserAgent};
    return &entry_points;
}
