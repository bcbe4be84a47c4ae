#include "gps/web_map_browser.h"

#include <utility>

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "gps/map_profile.h"
#include "gps/mbtiles_scheme_handler.h"

namespace orvo {

namespace {

// The script that hands the tile source to the page before its own run.
constexpr char kTileSourceScriptName[] = "orvo-tile-source";

// A page that never shows a script dialog and keeps its console to itself.
class SilentPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
    // The view shows the map page and nothing else: a click on a link in
    // it (the attribution) or a script that sets the location must not
    // replace the map with a page that cannot load here.
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool is_main_frame) override {
        return !is_main_frame || url.scheme() == QLatin1String("qrc");
    }
};

}  // namespace

CWebMapBrowser::CWebMapBrowser(QWidget* parent, MapLoadFinished on_load_finished)
    : profile_(AcquireMapProfile()) {
    view_ = new QWebEngineView(parent);
    page_ = new SilentPage(profile_, view_);
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    QObject::connect(page_, &QWebEnginePage::loadFinished, view_,
                     [handler = std::move(on_load_finished)](bool ok) {
                         if (handler) handler(ok);
                     });
}

CWebMapBrowser::~CWebMapBrowser() {
    // The page must be gone before its profile is.
    delete view_;
    ReleaseMapProfile();
}

QWidget* CWebMapBrowser::widget() {
    return view_;
}

MapTileSource CWebMapBrowser::UseTiles(const std::string& mbtiles_file,
                                       const std::string& url_template,
                                       const std::string& attribution) {
    CMbtilesSchemeHandler* tiles = ProfileTileHandler();
    MapTileSource source;
    // A file that cannot serve tiles counts as no file: the online tiles.
    if (!mbtiles_file.empty() && tiles != nullptr &&
        tiles->OpenFile(mbtiles_file) == MbtilesStatus::kOk) {
        source = FileTileSource(tiles->info(), tiles->generation());
    } else {
        if (tiles != nullptr) tiles->CloseFile();
        source = OnlineTileSource(url_template, attribution);
    }
    SetStartScript(source);
    return source;
}

void CWebMapBrowser::SetStartScript(const MapTileSource& source) {
    QWebEngineScriptCollection& scripts = page_->scripts();
    for (const QWebEngineScript& old : scripts.find(QString::fromLatin1(kTileSourceScriptName))) {
        scripts.remove(old);
    }
    QWebEngineScript script;
    script.setName(QString::fromLatin1(kTileSourceScriptName));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QString::fromStdString(TileSourceScript(source)));
    scripts.insert(script);
}

void CWebMapBrowser::Load(const QUrl& url) {
    page_->load(url);
}

void CWebMapBrowser::RunJavaScript(const QString& script) {
    page_->runJavaScript(script);
}

}  // namespace orvo
