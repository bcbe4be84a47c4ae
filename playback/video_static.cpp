#include "playback/video_static.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "app/window_message_event.h"
#include "app/window_messages.h"
#include "controls/text_drawing.h"

namespace orvo {

namespace {

const QColor kSurfaceColor(0x28, 0x28, 0x28);

}  // namespace

void UseFewNativeWindows() {
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
}

void SendToggleFullScreen(QObject* target, QWidget* source) {
    QObject* receiver = target != nullptr ? target : source->window();
    CWindowMessageEvent message(WM_TOGGLE_FULLSCREEN, 0, 0);
    QCoreApplication::sendEvent(receiver, &message);
}

CVideoStatic::CVideoStatic(QWidget* parent) : QWidget(parent) {
    // The engine needs a window of its own to draw into.
    setAttribute(Qt::WA_NativeWindow, true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAttribute(Qt::WA_NoSystemBackground, true);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
}

void CVideoStatic::SetCountShown(bool shown) {
    count_shown_ = shown;
    repaint();
}

void CVideoStatic::SetScanCount(int files_visited) {
    count_ = files_visited;
    if (files_visited == 0 || !count_painted_.isValid() ||
        count_painted_.elapsed() >= kCountPaintMs) {
        repaint();
        count_painted_.start();
    } else {
        update();
    }
}

bool CVideoStatic::event(QEvent* event) {
    if (event->type() == QEvent::WinIdChange) Q_EMIT NativeWindowChanged();
    return QWidget::event(event);
}

void CVideoStatic::EmbedSurface(WId window) {
    ReleaseSurface();
    QWindow* foreign = QWindow::fromWinId(window);
    if (foreign == nullptr) return;
    QWidget* container = QWidget::createWindowContainer(foreign, this);
    container->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    container->setGeometry(rect());
    container->show();
    embedded_ = container;
}

void CVideoStatic::ReleaseSurface() {
    if (embedded_.isNull()) return;
    // Unmapped first: the window itself belongs to the launcher and stays.
    embedded_->hide();
    delete embedded_.data();
    update();
}

void CVideoStatic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!embedded_.isNull()) embedded_->setGeometry(rect());
}

void CVideoStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), kSurfaceColor);
    if (count_shown_) DrawGlowText(QStringLiteral("%1\n").arg(count_), painter, 10, 72);
}

void CVideoStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && (event->buttons() & Qt::LeftButton)) {
        setFocus(Qt::MouseFocusReason);
        Q_EMIT PanBegin(event->position().toPoint());
    }
}

void CVideoStatic::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT PanStep(event->buttons(), event->modifiers(), event->position().toPoint());
}

void CVideoStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Q_EMIT PanEnd(event->position().toPoint());
}

void CVideoStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SendToggleFullScreen(message_target_, this);
}

CVideoStaticBg::CVideoStaticBg(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void CVideoStaticBg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void CVideoStaticBg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) SendToggleFullScreen(message_target_, this);
}

}  // namespace orvo
