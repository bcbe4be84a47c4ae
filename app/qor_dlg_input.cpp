// The main window's mouse input: it has no frame, so dragging a free spot
// moves it, the grip in the bottom-right corner resizes it and the gaps
// between the panes are splitters. The wheel zooms the picture and a drag
// on the picture pans it, both by cropping the decoded frame.
#include <cstdint>

#include <QCursor>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "gps/speed_label_static.h"
#include "playback/video_static.h"

namespace orvo {

namespace {

Qt::CursorShape QtCursorOf(CursorShape shape) {
    switch (shape) {
        case CursorShape::kSizeNwse:
            return Qt::SizeFDiagCursor;
        case CursorShape::kSizeNs:
            return Qt::SizeVerCursor;
        case CursorShape::kSizeWe:
            return Qt::SizeHorCursor;
        case CursorShape::kArrow:
            break;
    }
    return Qt::ArrowCursor;
}

// Turns wheel events on the video surface into zoom steps. The surface
// passes the wheel on to the window anyway, but only for events from the
// window system; this takes every one.
class WheelToZoom : public QObject {
public:
    explicit WheelToZoom(CQORDlg* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (delta == 0) return false;  // sideways scrolling does not zoom
        const QPoint p = wheel->position().toPoint();
        // The engine's wheel delta is a signed 16-bit value.
        window_->Zoom(static_cast<int16_t>(delta), p.x(), p.y());
        wheel->accept();
        return true;
    }

private:
    CQORDlg* window_;
};

}  // namespace

void CQORDlg::InitInput() {
    // Cursor feedback over the grip and the splitters needs moves without a
    // button held.
    setMouseTracking(true);
    // Children would inherit a sizing cursor set on the window when the
    // mouse leaves a splitter straight into them; those without a cursor of
    // their own keep the arrow.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->testAttribute(Qt::WA_SetCursor)) child->setCursor(Qt::ArrowCursor);
    }
    connect(video_, &CVideoStatic::PanBegin, this, [this](QPoint point) { BeginPan(point); });
    connect(video_, &CVideoStatic::PanStep, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint point) {
                Pan(buttons, point);
            });
    connect(video_, &CVideoStatic::PanEnd, this, [this](QPoint) { EndPan(); });
    video_->installEventFilter(new WheelToZoom(this));
}

void CQORDlg::RefreshMapView() {
    // Hiding and showing the embedded page makes it repaint at its new size.
    if (map_view_->isHidden()) return;
    map_view_->hide();
    map_view_->show();
}

DragTarget CQORDlg::DragTargetAt(QPoint p) const {
    if (full_screen_) return DragTarget::kNone;
    return HitTestDrag(p.x(), p.y(), width(), height(), map_splitter_rect_, pane_splitter_rect_);
}

void CQORDlg::ResizeFromGrip(QPoint p) {
    if (work_area_ || full_screen_) return;
    const WindowSize size = GripWindowSize(p.x(), p.y());
    resize(size.width, size.height);
}

void CQORDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    const DragTarget target = DragTargetAt(p);
    grip_drag_ = target == DragTarget::kGrip;
    map_splitter_drag_ = target == DragTarget::kMapSplitter;
    pane_splitter_drag_ = target == DragTarget::kPaneSplitter;
    // Any other free spot moves the window, as a caption would. A press on
    // the grip or a splitter does not: it would move and resize at once.
    if (target == DragTarget::kNone && isWindow() && !work_area_ && !full_screen_) {
        QWindow* handle = windowHandle();
        if (handle == nullptr || !handle->startSystemMove()) {
            // No window manager to ask: follow the mouse ourselves.
            window_drag_ = true;
            window_drag_origin_ = event->globalPosition().toPoint();
            window_drag_start_ = pos();
        }
    }
    event->accept();
}

void CQORDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (window_drag_) {
        if (event->buttons() & Qt::LeftButton) {
            move(window_drag_start_ + (event->globalPosition().toPoint() - window_drag_origin_));
        } else {
            window_drag_ = false;
        }
    }
    if (grip_drag_) {
        ResizeFromGrip(p);
        if (!work_area_ && !full_screen_) setCursor(QtCursorOf(CursorShape::kSizeNwse));
    } else if (map_splitter_drag_) {
        setCursor(QtCursorOf(CursorShape::kSizeNs));
        map_height_ = MapHeightFromSplitter(p.y());
        UpdateLayout(width(), height());
    } else if (pane_splitter_drag_) {
        setCursor(QtCursorOf(CursorShape::kSizeWe));
        right_pane_width_ = PaneWidthFromSplitter(p.x(), width());
        UpdateLayout(width(), height());
        gsensor_->update();
    } else {
        setCursor(QtCursorOf(CursorFor(DragTargetAt(p))));
    }
    event->accept();
}

void CQORDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    window_drag_ = false;
    if (grip_drag_) {
        grip_drag_ = false;
        // The modes that forbid the grip resize forbid its last step too.
        ResizeFromGrip(p);
        RefreshMapView();
        update();
    } else if (map_splitter_drag_) {
        map_splitter_drag_ = false;
        UpdateLayout(width(), height());
        RefreshMapView();
    } else if (pane_splitter_drag_) {
        pane_splitter_drag_ = false;
        UpdateLayout(width(), height());
        RefreshMapView();
        update();
    }
    event->accept();
}

void CQORDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (speed_label_->geometry().contains(p)) {
        // The speed label switches between km/h and MPH.
        speed_label_->ToggleUnit();
    } else if (!full_screen_) {
        // Like the [ ] button, which full screen hides.
        ToggleWorkArea();
    }
    event->accept();
}

void CQORDlg::wheelEvent(QWheelEvent* event) {
    // Only over the picture, edges included; the wheel elsewhere (map,
    // lists, buttons) never zooms.
    const QPoint global = event->globalPosition().toPoint();
    const QPoint top_left = video_->mapToGlobal(QPoint(0, 0));
    const QRect surface(top_left, video_->size());
    const bool inside =
        global.x() >= surface.left() && global.x() <= surface.left() + surface.width() &&
        global.y() >= surface.top() && global.y() <= surface.top() + surface.height();
    const int delta = event->angleDelta().y();
    if (!inside || delta == 0) {
        QDialog::wheelEvent(event);
        return;
    }
    // The engine's wheel delta is a signed 16-bit value.
    Zoom(static_cast<int16_t>(delta), global.x() - top_left.x(), global.y() - top_left.y());
    event->accept();
}

void CQORDlg::ApplyCrop(const CropRect& crop, int frame_width, int frame_height) {
    const CropMargins margins = MarginsOf(crop, frame_width, frame_height);
    player_->SetCrop(margins.left, margins.top, margins.right, margins.bottom);
    crop_ = crop;
}

void CQORDlg::Zoom(int delta, int x, int y) {
    const VideoSize size = CurrentVideoSize();
    if (size.width == 0 || size.height == 0) {
        crop_ = CropRect{};
        return;
    }
    const int w = static_cast<int>(size.width);
    const int h = static_cast<int>(size.height);
    if (crop_.IsUnset()) {
        crop_ = CropRect{0, 0, w, h};
        player_->SetCrop(0, 0, 0, 0);
    }
    const std::optional<CropRect> next =
        ZoomCrop(crop_, w, h, delta, x, y, video_->width(), video_->height());
    if (next) ApplyCrop(*next, w, h);
}

void CQORDlg::BeginPan(QPoint point) {
    pan_origin_ = point;
    crop_at_pan_start_ = crop_;
    pan_drag_ = 1;
    video_->setFocus(Qt::MouseFocusReason);
}

void CQORDlg::Pan(Qt::MouseButtons buttons, QPoint point) {
    if (!(buttons & Qt::LeftButton)) {
        pan_drag_ = 0;
        return;
    }
    if (pan_drag_ != 1) return;
    const VideoSize size = CurrentVideoSize();
    if (size.width == 0 || size.height == 0) {
        crop_ = CropRect{};
        return;
    }
    const int w = static_cast<int>(size.width);
    const int h = static_cast<int>(size.height);
    if (crop_.IsUnset()) {
        crop_ = crop_at_pan_start_ = CropRect{0, 0, w, h};
        player_->SetCrop(0, 0, 0, 0);
    } else if (crop_at_pan_start_.IsUnset()) {
        // The wheel set the crop during this drag: go on from here.
        crop_at_pan_start_ = crop_;
        pan_origin_ = point;
    }
    ApplyCrop(PanCrop(crop_at_pan_start_, w, h, pan_origin_.x(), pan_origin_.y(), point.x(),
                      point.y(), video_->width(), video_->height()),
              w, h);
}

void CQORDlg::EndPan() {
    pan_drag_ = 0;
}

}  // namespace orvo
