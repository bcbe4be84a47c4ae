#pragma once

#include <QString>

class QWebEngineProfile;

namespace orvo {

class CMbtilesSchemeHandler;

// Online tiles seen once are kept on disk up to this size, so they show
// again without a connection.
inline constexpr qint64 kMapCacheMaxBytes = qint64{256} << 20;

// Makes the tile scheme known to the browser. Must run before the
// browser's first profile is created (AcquireMapProfile does it); later
// calls do nothing.
void RegisterMapTileScheme();

// The browser profile of the map views: a persistent, size-bounded HTTP
// cache under the user's cache folder, a User-Agent naming the program and
// its version (tile servers ask for that), and the tile scheme. One profile
// serves every map view of the process; it is created with the first and
// deleted after the last, once their pages are gone.
QWebEngineProfile* AcquireMapProfile();
void ReleaseMapProfile();
// The tile scheme's handler of the current profile (nullptr without one).
CMbtilesSchemeHandler* ProfileTileHandler();

QString BrowserUserAgent();  // "OrvoPlayer/<version> QtWebEngine/<version>"
QString MapCacheFolder();    // <XDG cache>/<program>/map

}  // namespace orvo
