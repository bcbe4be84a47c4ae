#include "gps/html_map_dlg.h"

#include <utility>

#include <QChildEvent>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>
#include <QtDebug>

#include "app/qor_settings.h"
#include "gps/map_script.h"

// The page and Leaflet live in a static library's resources, which the
// linker would drop without an explicit reference.
static void InitMapResources() {
    Q_INIT_RESOURCE(map);
}

namespace orvo {

namespace {

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

CHtmlMapDlg::~CHtmlMapDlg() = default;

void CHtmlMapDlg::StartBrowser() {
    if (browser_started_) return;
    CreateBrowser();
    if (load_wanted_ && browser_ != nullptr) {
        ApplyTileSettings();
        browser_->Load(MapPageUrl());
    }
    load_wanted_ = false;
}

void CHtmlMapDlg::CreateBrowser() {
    browser_started_ = true;
    std::string error;
    browser_ = CreateMapBrowser(
        this, [this](bool ok) { OnLoadFinished(ok); }, &error);
    if (browser_ == nullptr) {
        // Without its browser the map stays blank; the video, the list and
        // the curves work on. Texts for the page are dropped.
        qWarning("orvo-player: the map cannot be shown: %s", error.c_str());
        state_ = PageState::kFailed;
        pending_.clear();
        return;
    }
    QWidget* view = browser_->widget();
    layout()->addWidget(view);

    // The browser's render widget appears (and may be replaced) after the
    // view is created; every widget below the view gets the filter.
    WatchChildren(view);
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
    if (browser_started_ && browser_ == nullptr) return;
    state_ = PageState::kLoading;
    if (browser_ == nullptr) {
        load_wanted_ = true;
        return;
    }
    ApplyTileSettings();
    browser_->Load(MapPageUrl());
}

void CHtmlMapDlg::ApplyTileSettings() {
    const CQorSettings& settings = CQorSettings::Instance();
    tile_source_ = browser_->UseTiles(settings.ReadMapTiles(), settings.ReadMapTileUrl(),
                                      settings.ReadMapAttribution());
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
        browser_->RunJavaScript(QString::fromStdString(text));
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
