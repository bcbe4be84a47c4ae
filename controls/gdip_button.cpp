#include "controls/gdip_button.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/ui_strings.h"
#include "controls/color_matrix.h"

namespace orvo {

namespace {

constexpr int kLabelHeight = 12;

QFont LabelFont() {
    QFont font;
    // The label face of the original look, then faces that carry Japanese.
    font.setFamilies({QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(kLabelHeight);
    font.setWeight(QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Light enough to read on the dark artwork.
const QColor kFocusMarkColor(0xe0, 0xe0, 0xe0);

size_t Index(ButtonSurface surface) {
    return static_cast<size_t>(surface);
}

}  // namespace

CGdipButton::CGdipButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover, true);
    // Tab reaches the buttons (and marks them); a click does not take the
    // focus from the list or the picture.
    setFocusPolicy(Qt::TabFocus);
}

CGdipButton::~CGdipButton() = default;

QSize CGdipButton::sizeHint() const {
    if (std_image_ && !std_image_->IsNull()) return std_image_->image().size();
    return QSize(48, 48);
}

bool CGdipButton::LoadStdImage(int id) {
    std_image_ = std::make_unique<CGdiPlusBitmapResource>();
    const bool ok = std_image_->Load(id);
    InvalidateSurfaces();
    return ok;
}

bool CGdipButton::LoadAltImage(int id) {
    flags_.has_alternate = true;
    alt_image_ = std::make_unique<CGdiPlusBitmapResource>();
    const bool ok = alt_image_->Load(id);
    InvalidateSurfaces();
    return ok;
}

bool CGdipButton::LoadLabelIcon(int id, int label_string_id) {
    has_label_icon_ = true;
    label_string_id_ = label_string_id;
    label_icon_ = std::make_unique<CGdiPlusBitmapResource>();
    const bool ok = label_icon_->Load(id);
    InvalidateSurfaces();
    return ok;
}

void CGdipButton::SetIconRect(int left, int top, int right, int bottom) {
    icon_rect_ = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    InvalidateSurfaces();
}

void CGdipButton::SetToggleMode(bool on) {
    flags_.toggle_mode = on;
}

void CGdipButton::SetToggled(bool on) {
    flags_.toggled = on;
}

void CGdipButton::SetGreyed(bool on) {
    flags_.greyed = on;
}

void CGdipButton::SetTooltipText(const QString& text) {
    setToolTip(text);
}

QString CGdipButton::LabelText() const {
    if (!has_label_icon_ || label_string_id_ == 0) return QString();
    return QString::fromStdString(LoadUiString(label_string_id_));
}

ButtonSurface CGdipButton::CurrentSurface() const {
    return SelectButtonSurface(flags_, isDown());
}

const QImage& CGdipButton::Surface(ButtonSurface which) const {
    if (!SurfacesBuilt()) StartSurfaces();
    const size_t index = Index(which);
    if (!composed_[index]) {
        surfaces_[index] = ComposeSurface(which);
        composed_[index] = true;
    }
    const QImage& surface = surfaces_[index];
    return surface.isNull() ? empty_ : surface;
}

void CGdipButton::InvalidateSurfaces() {
    built_size_ = QSize();
    update();
}

QImage CGdipButton::Compose(const CGdiPlusBitmapResource& image, Look look, bool with_label) const {
    const QSize size = this->size();
    QImage surface(size, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::transparent);
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!image.IsNull()) {
        switch (look) {
            case Look::kPlain:
                painter.drawImage(QRect(QPoint(0, 0), size), image.image());
                break;
            case Look::kPressed:
                painter.drawImage(QRect(QPoint(1, 1), size), image.image());
                break;
            case Look::kHot:
                painter.drawImage(QRect(QPoint(0, 0), size),
                                  ApplyColorMatrix(kHotColorMatrix, image.image()));
                break;
            case Look::kGrey:
                painter.drawImage(QRect(QPoint(0, 0), size),
                                  ApplyColorMatrix(kGreyColorMatrix, image.image()));
                break;
        }
    }
    if (with_label && has_label_icon_) {
        if (label_icon_ && !label_icon_->IsNull() && icon_rect_.width() > 0 &&
            icon_rect_.height() > 0) {
            painter.drawImage(icon_rect_, label_icon_->image());
        }
        const QString text = LabelText();
        if (!text.isEmpty()) {
            painter.setFont(LabelFont());
            painter.setPen(Qt::white);
            const int x = icon_rect_.left() + icon_rect_.width() + 4;
            const int y = icon_rect_.top() + (icon_rect_.height() - kLabelHeight) / 2;
            painter.drawText(QRect(x, y, std::max(1, size.width() - x), size.height() - y),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        }
    }
    return surface;
}

void CGdipButton::StartSurfaces() const {
    for (QImage& surface : surfaces_) surface = QImage();
    composed_.fill(false);
    built_size_ = size();
}

// Each picture is composed when it is first shown: most buttons never show
// most of theirs, and the first paint of the window is on the way to the
// first picture of the video.
QImage CGdipButton::ComposeSurface(ButtonSurface which) const {
    // Without a standard image no picture is built; painting then shows the
    // parent's background only.
    if (!std_image_ || size().isEmpty()) return QImage();
    const bool alternate = flags_.has_alternate && alt_image_;
    switch (which) {
        case ButtonSurface::kStandard:
            return Compose(*std_image_, Look::kPlain, true);
        case ButtonSurface::kPressed:
            return Compose(*std_image_, Look::kPressed, true);
        case ButtonSurface::kHot:
            return Compose(*std_image_, Look::kHot, true);
        case ButtonSurface::kGreyed:
            return Compose(*std_image_, Look::kGrey, false);
        case ButtonSurface::kAltStandard:
            return alternate ? Compose(*alt_image_, Look::kPlain, false) : QImage();
        case ButtonSurface::kAltPressed:
            return alternate ? Compose(*alt_image_, Look::kPressed, false) : QImage();
        case ButtonSurface::kAltHot:
            return alternate ? Compose(*alt_image_, Look::kHot, false) : QImage();
    }
    return QImage();
}

void CGdipButton::RefreshLabel() {
    if (!SurfacesBuilt()) return;
    for (ButtonSurface labelled :
         {ButtonSurface::kStandard, ButtonSurface::kPressed, ButtonSurface::kHot}) {
        surfaces_[Index(labelled)] = QImage();
        composed_[Index(labelled)] = false;
    }
    update();
}

void CGdipButton::paintEvent(QPaintEvent* /*event*/) {
    const QImage& surface = Surface(CurrentSurface());
    if (surface.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, surface);
    if (focus_mark_) {
        QPen pen(kFocusMarkColor, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void CGdipButton::Press() {
    if (!isEnabled()) return;
    OnButtonPress(flags_);
    update();
    click();
}

void CGdipButton::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    focus_mark_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    update();
    QAbstractButton::focusInEvent(event);
}

void CGdipButton::focusOutEvent(QFocusEvent* event) {
    focus_mark_ = false;
    update();
    QAbstractButton::focusOutEvent(event);
}

void CGdipButton::keyPressEvent(QKeyEvent* event) {
    // Space belongs to the window's PLAY key; Enter activates the button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Press();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void CGdipButton::mousePressEvent(QMouseEvent* event) {
    // The second click of a double click arrives as a press of its own, so a
    // fast second click flips a toggle button again.
    if (event->button() == Qt::LeftButton) OnButtonPress(flags_);
    QAbstractButton::mousePressEvent(event);
}

void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press that preceded this event already counted; counting the
    // double click too would flip a toggle button three times.
    event->accept();
}

void CGdipButton::enterEvent(QEnterEvent* event) {
    flags_.hovering = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CGdipButton::leaveEvent(QEvent* event) {
    flags_.hovering = false;
    update();
    QAbstractButton::leaveEvent(event);
}

}  // namespace orvo
