#include "gps/map_profile.h"

#include <QDir>
#include <QStandardPaths>
#include <QWebEngineProfile>
#include <QWebEngineUrlScheme>
#include <QtWebEngineCoreVersion>

#include "app/version.h"
#include "gps/map_tile_source.h"
#include "gps/mbtiles_scheme_handler.h"

namespace orvo {

namespace {

// Profiles are told apart by this name; it also names their folders.
constexpr char kStorageName[] = "map";

struct SharedProfile {
    QWebEngineProfile* profile = nullptr;
    CMbtilesSchemeHandler* tiles = nullptr;
    int users = 0;
};

SharedProfile& Shared() {
    static SharedProfile shared;
    return shared;
}

}  // namespace

void RegisterMapTileScheme() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    QWebEngineUrlScheme scheme(kMapTileScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Secure, so a page served over https could use it too without mixed
    // content. (As a local scheme the map page from the resources could
    // not load it.)
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QString BrowserUserAgent() {
    return QStringLiteral("OrvoPlayer/%1 QtWebEngine/%2")
        .arg(QString::fromLatin1(kOrvoVersion), QStringLiteral(QTWEBENGINECORE_VERSION_STR));
}

QString MapCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/map");
}

QWebEngineProfile* AcquireMapProfile() {
    SharedProfile& shared = Shared();
    if (shared.users++ > 0) return shared.profile;
    RegisterMapTileScheme();
    const QString folder = MapCacheFolder();
    QDir().mkpath(folder);
    auto* profile = new QWebEngineProfile(QString::fromLatin1(kStorageName));
    // Nothing of the profile is worth keeping but the tiles; all of it lives
    // in the cache folder, which the user may empty at any time.
    profile->setPersistentStoragePath(folder + QStringLiteral("/storage"));
    profile->setCachePath(folder + QStringLiteral("/http"));
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    profile->setHttpCacheMaximumSize(static_cast<int>(kMapCacheMaxBytes));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setHttpUserAgent(BrowserUserAgent());
    shared.tiles = new CMbtilesSchemeHandler(profile);
    profile->installUrlSchemeHandler(kMapTileScheme, shared.tiles);
    shared.profile = profile;
    return profile;
}

void ReleaseMapProfile() {
    SharedProfile& shared = Shared();
    if (shared.users == 0 || --shared.users > 0) return;
    delete shared.profile;
    shared.profile = nullptr;
    shared.tiles = nullptr;
}

CMbtilesSchemeHandler* ProfileTileHandler() {
    return Shared().tiles;
}

}  // namespace orvo
