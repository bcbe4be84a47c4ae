#pragma once

#include <array>
#include <memory>

#include <QAbstractButton>
#include <QImage>
#include <QRect>

#include "controls/button_state.h"
#include "controls/gdi_plus_bitmap.h"

namespace orvo {

// A push button drawn entirely from images: a standard image, optionally an
// alternate one (two-state buttons such as play/pause) and a small label
// icon with a localised label. The state pictures are composed once per size
// and painting a state is one image copy. Transparent parts of the pictures
// show the parent behind the button.
class CGdipButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit CGdipButton(QWidget* parent = nullptr);
    ~CGdipButton() override;

    bool LoadStdImage(int id);
    // Sets the has-alternate flag even when the load fails.
    bool LoadAltImage(int id);
    bool LoadLabelIcon(int id, int label_string_id);
    // Where the label icon is scaled to; the label text starts at right + 4.
    void SetIconRect(int left, int top, int right, int bottom);

    void SetToggleMode(bool on);
    void SetToggled(bool on);
    void SetGreyed(bool on);
    // Re-renders the labelled pictures in the current language.
    void RefreshLabel();
    // A keyboard activation: what a mouse click does, toggle included.
    void Press();
    // The focus mark is drawn while the button has the focus from Tab.
    bool focus_mark_shown() const { return focus_mark_; }
    // The button's own tooltip; empty shows none.
    void SetTooltipText(const QString& text);

    bool has_alternate() const { return flags_.has_alternate; }
    bool has_label_icon() const { return has_label_icon_; }
    bool toggle_mode() const { return flags_.toggle_mode; }
    bool toggled() const { return flags_.toggled; }
    bool greyed() const { return flags_.greyed; }
    bool hovering() const { return flags_.hovering; }
    int label_string_id() const { return label_string_id_; }
    QRect icon_rect() const { return icon_rect_; }
    QString LabelText() const;

    // The picture that painting shows now, and one of the pictures (a null
    // image when the button has none of that kind), composed when first
    // asked for at the button's present size.
    ButtonSurface CurrentSurface() const;
    const QImage& Surface(ButtonSurface which) const;
    bool SurfacesBuilt() const { return built_size_ == size() && built_size_.isValid(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Look { kPlain, kPressed, kHot, kGrey };

    void StartSurfaces() const;
    QImage ComposeSurface(ButtonSurface which) const;
    void InvalidateSurfaces();
    QImage Compose(const CGdiPlusBitmapResource& image, Look look, bool with_label) const;

    ButtonFlags flags_;
    bool has_label_icon_ = false;
    bool focus_mark_ = false;
    QRect icon_rect_{QPoint(0, 0), QPoint(39, 39)};  // (0, 0, 40, 40) right/bottom exclusive
    int label_string_id_ = 0;
    std::unique_ptr<CGdiPlusBitmapResource> label_icon_;
    std::unique_ptr<CGdiPlusBitmapResource> alt_image_;
    std::unique_ptr<CGdiPlusBitmapResource> std_image_;
    // Caches of the pictures at built_size_.
    mutable std::array<QImage, kButtonSurfaceCount> surfaces_;
    mutable std::array<bool, kButtonSurfaceCount> composed_{};
    mutable QSize built_size_;
    QImage empty_;
};

}  // namespace orvo
