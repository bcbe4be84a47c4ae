#include "gps/html_map_dlg.h"

#include <utility>

#include <QChildEvent>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "app/qor_settings.h"
#include "gps/map_profile.h"
#include "gps/map_script.h"
#include "gps/mbtiles_scheme_handler.h"

// The page and Leaflet live in a static library's resources, which the
// linker would drop without an explicit reference.
static void InitMapResources() {
    Q_INIT_RESOURCE(map);
}

namespace orvo {

namespace {

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

bool IsRightButtonEvent(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return static_cast<const QMouseEvent*>(event)->button() == Qt::RightButton;
        default:
            return false;
    }
}

// The script that hands the tile source to the page before its own run.
constexpr char kTileSourceScriptName[] = "orvo-tile-source";

QUrl MapPageUrl() {
    return QUrl(QStringLiteral("qrc:/html/%1").arg(kMapPageResourceId));
}

}  // namespace

CHtmlMapDlg::CHtmlMapDlg(QWidget* parent, BrowserStart start) : QWidget(parent) {
    InitMapResources();
    setObjectName(QString::number(kMapPlaceholderId));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    flush_timer_.setSingleShot(true);
    flush_timer_.setInterval(0);
    connect(&flush_timer_, &QTimer::timeout, this, &CHtmlMapDlg::FlushScripts);
    if (start == BrowserStart::kNow) CreateBrowser();
}

CHtmlMapDlg::~CHtmlMapDlg() {
    if (view_ == nullptr) return;
    // The page must be gone before its profile is.
    delete view_;
    view_ = nullptr;
    page_ = nullptr;
    ReleaseMapProfile();
}

void CHtmlMapDlg::StartBrowser() {
    if (view_ != nullptr) return;
    CreateBrowser();
    if (load_wanted_) {
        ApplyTileSettings();
        page_->load(MapPageUrl());
    }
    load_wanted_ = false;
}

void CHtmlMapDlg::CreateBrowser() {
    profile_ = AcquireMapProfile();
    view_ = new QWebEngineView(this);
    page_ = new SilentPage(profile_, view_);
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);

    layout()->addWidget(view_);

    // The browser's render widget appears (and may be replaced) after the
    // view is created; every widget below the view gets the filter.
    WatchChildren(view_);

    connect(page_, &QWebEnginePage::loadFinished, this, &CHtmlMapDlg::OnLoadFinished);
}

void CHtmlMapDlg::PlaceInParent(QWidget* placeholder) {
    if (placeholder == nullptr) return;
    QRect rect = placeholder->geometry();
    if (placeholder->parentWidget() != parentWidget() && parentWidget() != nullptr) {
        const QPoint top_left = placeholder->mapTo(window(), QPoint(0, 0));
        rect.moveTopLeft(parentWidget()->mapFrom(window(), top_left));
    }
    delete placeholder;
    setGeometry(rect.adjusted(2, 2, -2, -2));
    raise();
    show();
}

void CHtmlMapDlg::LoadPage() {
    // A reload starts the page afresh: calls meant for the old page go.
    if (state_ != PageState::kNone) pending_.clear();
    flush_timer_.stop();
    state_ = PageState::kLoading;
    if (view_ == nullptr) {
        load_wanted_ = true;
        return;
    }
    ApplyTileSettings();
    page_->load(MapPageUrl());
}

void CHtmlMapDlg::ApplyTileSettings() {
    const CQorSettings& settings = CQorSettings::Instance();
    CMbtilesSchemeHandler* tiles = MapTileHandler();
    const std::string file = settings.ReadMapTiles();
    // A file that cannot serve tiles counts as no file: the online tiles.
    if (!file.empty() && tiles != nullptr && tiles->OpenFile(file) == MbtilesStatus::kOk) {
        tile_source_ = FileTileSource(tiles->info(), tiles->generation());
    } else {
        if (tiles != nullptr) tiles->CloseFile();
        tile_source_ = OnlineTileSource(settings.ReadMapTileUrl(), settings.ReadMapAttribution());
    }
    QWebEngineScriptCollection& scripts = page_->scripts();
    for (const QWebEngineScript& old : scripts.find(QString::fromLatin1(kTileSourceScriptName))) {
        scripts.remove(old);
    }
    QWebEngineScript script;
    script.setName(QString::fromLatin1(kTileSourceScriptName));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(QString::fromStdString(TileSourceScript(tile_source_)));
    scripts.insert(script);
}

void CHtmlMapDlg::RunScript(const std::string& script) {
    if (state_ == PageState::kFailed) return;
    pending_.push_back(script);
    if (state_ == PageState::kReady && !flush_timer_.isActive()) flush_timer_.start();
}

void CHtmlMapDlg::MoveMarker(double latitude, double longitude, int /*heading_degrees*/) {
    RunScript(MoveMarkerScript(map_choice_, latitude, longitude));
}

void CHtmlMapDlg::OnLoadFinished(bool ok) {
    if (ok) {
        state_ = PageState::kReady;
        if (!pending_.empty()) flush_timer_.start();
    } else if (state_ == PageState::kLoading) {
        // A page that did not load has no functions to call: further
        // texts are dropped instead of piling up. (A navigation that fails
        // or is refused after the page is up leaves the page as it is.)
        state_ = PageState::kFailed;
        pending_.clear();
    }
    Q_EMIT PageLoaded(ok);
}

void CHtmlMapDlg::FlushScripts() {
    if (state_ != PageState::kReady || pending_.empty()) return;
    std::vector<std::string> texts;
    texts.swap(pending_);
    for (const std::string& text : JoinScripts(texts)) {
        page_->runJavaScript(QString::fromStdString(text));
        ++script_executions_;
    }
}

void CHtmlMapDlg::WatchChildren(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children()) {
        if (child->isWidgetType()) WatchChildren(child);
    }
}

bool CHtmlMapDlg::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ChildAdded: {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child != nullptr && child->isWidgetType()) WatchChildren(child);
            break;
        }
        case QEvent::ContextMenu:
            return true;
        default:
            // The browser's context menu is never wanted: right-button
            // presses, releases and double-clicks stop here.
            if (IsRightButtonEvent(event)) return true;
            break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvo
