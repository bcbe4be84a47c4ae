#pragma once

#include <QString>

class QWebEngineProfile;

namespace orvo {

class CMbtilesSchemeHandler;

// Online tiles seen once are kept on disk up to this size, so they show
// again without a connection.
inline constexpr qint64 kMapCacheMaxBytes = qint64{256} << 20;

// Makes the tile scheme known to the browser. Must run before the
// QApplication is created; later calls do nothing.
void RegisterMapTileScheme();

// Sets up the graphics the browser shares with the widgets; runs before the
// QApplication is created. With the software scene graph the browser draws
// without OpenGL and never uses a shared context, so an empty one stands in
// for the real one it would otherwise have made while the application
// starts (loading and starting a GL driver: a tenth of a second and more on
// the way to the first paint). Any other scene graph gets a real one.
void PrepareBrowserGraphics();

// The browser profile of the map views: a persistent, size-bounded HTTP
// cache under the user's cache folder, a User-Agent naming the program and
// its version (tile servers ask for that), and the tile scheme. One profile
// serves every map view of the process; it is created with the first and
// deleted after the last, once their pages are gone.
QWebEngineProfile* AcquireMapProfile();
void ReleaseMapProfile();
// The tile scheme's handler of the current profile (nullptr without one).
CMbtilesSchemeHandler* MapTileHandler();

QString MapUserAgent();    // "OrvoPlayer/<version> QtWebEngine/<version>"
QString MapCacheFolder();  // <XDG cache>/<program>/map

}  // namespace orvo
