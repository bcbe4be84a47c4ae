#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include "library/clip_views.h"

namespace orvo {

// The window the media engine draws into (control 1002). While no picture
// covers it, it shows a dark background and, during a folder scan, the count
// of files visited. Mouse input over the picture is forwarded to the main
// window through the signals.
class CVideoStatic : public QWidget, public IScanCounterView {
    Q_OBJECT

public:
    explicit CVideoStatic(QWidget* parent = nullptr);

    // The count is painted only while shown.
    void SetCountShown(bool shown);
    bool count_shown() const { return count_shown_; }
    int count() const { return count_; }

    // Stores the count and repaints at once (the scan blocks the event loop),
    // at most every kCountPaintMs: the glowing digits cost milliseconds per
    // paint, which on a card of thousands of files would cost more than the
    // scan itself. The first count of a scan is always painted.
    void SetScanCount(int files_visited) override;
    static constexpr int kCountPaintMs = 40;

    // Where a double click sends the full-screen toggle; the top-level window
    // when unset.
    void SetMessageTarget(QObject* target) { message_target_ = target; }

    // Shows a native window made elsewhere (the launcher's, which the engine
    // already draws into) over the whole surface, until ReleaseSurface hides
    // it again. Mouse input over it still reaches this surface.
    void EmbedSurface(WId window);
    void ReleaseSurface();
    bool has_embedded_surface() const { return !embedded_.isNull(); }

Q_SIGNALS:
    // Qt may re-create the native window (for example when a browser view
    // joins the window); the engine must then be given the new id.
    void NativeWindowChanged();
    void PanBegin(QPoint point);
    void PanStep(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point);
    void PanEnd(QPoint point);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QWidget> embedded_;
    bool count_shown_ = false;
    int count_ = 0;
    QElapsedTimer count_painted_;
    QObject* message_target_ = nullptr;
};

// The black frame behind the video surface (control 1007); a double click on
// the bars beside the picture toggles full screen too.
class CVideoStaticBg : public QWidget {
    Q_OBJECT

public:
    explicit CVideoStaticBg(QWidget* parent = nullptr);
    void SetMessageTarget(QObject* target) { message_target_ = target; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QObject* message_target_ = nullptr;
};

// Sends the full-screen toggle to `target` (or to the window of `source`),
// synchronously.
void SendToggleFullScreen(QObject* target, QWidget* source);

// The video surface is a window of its own, and by default the toolkit then
// gives each of its siblings one too: some forty windows to create and map
// on the way to the first paint. Only the surface and what covers it need
// one. Set before the first window is built.
void UseFewNativeWindows();

}  // namespace orvo
