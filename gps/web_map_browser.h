#pragma once

#include "gps/map_browser.h"

class QWebEnginePage;
class QWebEngineView;
class QWebEngineProfile;

namespace orvo {

// The map browser of the module: a silent page (no script dialogs, no
// console, no navigation away from the map page) in the map views' shared
// profile.
class CWebMapBrowser : public IMapBrowser {
public:
    CWebMapBrowser(QWidget* parent, MapLoadFinished on_load_finished);
    ~CWebMapBrowser() override;
    CWebMapBrowser(const CWebMapBrowser&) = delete;
    CWebMapBrowser& operator=(const CWebMapBrowser&) = delete;

    QWidget* widget() override;
    MapTileSource UseTiles(const std::string& mbtiles_file, const std::string& url_template,
                           const std::string& attribution) override;
    void Load(const QUrl& url) override;
    void RunJavaScript(const QString& script) override;

private:
    void SetStartScript(const MapTileSource& source);

    QWebEngineProfile* profile_ = nullptr;
    QWebEngineView* view_ = nullptr;
    QWebEnginePage* page_ = nullptr;
};

}  // namespace orvo
