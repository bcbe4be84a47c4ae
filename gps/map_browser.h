#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QString>

#include "gps/map_tile_source.h"

class QUrl;
class QWidget;

namespace orvo {

class CMbtilesSchemeHandler;

// The embedded browser behind a map view. The browser's libraries take a
// good part of the window's start-up to load, so they live in a module of
// their own that the window loads when its map starts, after the first
// paint; the map view holds the browser through this interface.
class IMapBrowser {
public:
    virtual ~IMapBrowser() = default;
    // The browser's view, a child of the parent it was made for.
    virtual QWidget* widget() = 0;
    // Serves the tiles from the MBTiles file when it can, else online from
    // the URL template; the page loaded next is told which. Returns the
    // source chosen.
    virtual MapTileSource UseTiles(const std::string& mbtiles_file, const std::string& url_template,
                                   const std::string& attribution) = 0;
    virtual void Load(const QUrl& url) = 0;
    virtual void RunJavaScript(const QString& script) = 0;
};

// Called with the outcome of every page load.
using MapLoadFinished = std::function<void(bool ok)>;

// What the module hands out, from the one C function named below.
struct MapBrowserEntryPoints {
    IMapBrowser* (*create)(QWidget* parent, MapLoadFinished on_load_finished) = nullptr;
    CMbtilesSchemeHandler* (*tile_handler)() = nullptr;
    QString (*user_agent)() = nullptr;
};

inline constexpr const char* kMapBrowserModule = "liborvo-map-browser.so";
inline constexpr const char* kMapBrowserEntry = "orvo_map_browser_entry_points";

// A browser from the module, loaded on the first call; nullptr (and the
// reason in `error`) when the module cannot be loaded.
std::unique_ptr<IMapBrowser> CreateMapBrowser(QWidget* parent, MapLoadFinished on_load_finished,
                                              std::string* error = nullptr);

// The tile scheme's handler of the map views' profile; nullptr while no
// map browser exists.
CMbtilesSchemeHandler* MapTileHandler();
// "OrvoPlayer/<version> QtWebEngine/<version>", as tile servers see it;
// empty without the module.
QString MapUserAgent();

// Sets up the graphics the browser shares with the widgets; runs before the
// QApplication is created. With the software scene graph the browser draws
// without OpenGL and never uses a shared context, so an empty one stands in
// for the real one it would otherwise have made while the application
// starts (loading and starting a GL driver: a tenth of a second and more on
// the way to the first paint). Any other scene graph gets a real one.
void PrepareBrowserGraphics();

}  // namespace orvo
