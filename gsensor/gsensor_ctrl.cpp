#include "gsensor/gsensor_ctrl.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPoint>

#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "controls/text_drawing.h"

namespace orvo {

namespace {

// Colours of the curves and legend entries, by axis x, y, z.
constexpr std::array<QRgb, 3> kAxisColours{qRgb(0x60, 0x60, 0xFF), qRgb(0x60, 0xFF, 0x60),
                                           qRgb(0xFF, 0x60, 0xC0)};
constexpr std::array<int, 3> kAxisLabelIds{147, 148, 149};
// Legend entries left to right: F/B (z), L/R (x), U/D (y).
constexpr std::array<int, 3> kLegendOrder{2, 0, 1};
constexpr QRgb kZeroLineColour = qRgb(0xFF, 0xFF, 0xFF);
constexpr QRgb kTickColour = qRgb(0x66, 0x66, 0x66);
constexpr QRgb kCursorColour = qRgb(0x00, 0x00, 0xFF);
constexpr QRgb kTextGrey = qRgb(0xA0, 0xA0, 0xA0);
constexpr int kSpeedCaptionId = 163;
constexpr int kSpeedNoteId = 156;

constexpr int kLegendRightOffset = 342;
constexpr int kLegendStep = 108;
constexpr int kLegendTop = 27;
constexpr int kLegendValueOffset = 33;
constexpr int kLegendLabelGap = 3;  // between a label and its value's colon
constexpr int kLegendHitWidth = 100;

// Direct writes into the 32-bit pixels of the cached layer. Its lines are
// all axis-parallel or one-pixel curves, for which this is both exact and
// several times cheaper than a painter. Everything is clipped to the image.
class PixelCanvas {
public:
    explicit PixelCanvas(QImage& image)
        : bits_(image.bits()),
          stride_(image.bytesPerLine()),
          width_(image.width()),
          height_(image.height()) {}

    void Plot(int x, int y, QRgb colour) {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
        Row(y)[x] = colour;
    }

    // Inclusive ends.
    void HorizontalLine(int x0, int x1, int y, QRgb colour) {
        if (y < 0 || y >= height_) return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, width_ - 1);
        if (x0 > x1) return;
        std::fill(Row(y) + x0, Row(y) + x1 + 1, colour);
    }

    void VerticalLine(int x, int y0, int y1, QRgb colour) {
        if (x < 0 || x >= width_) return;
        y0 = std::max(y0, 0);
        y1 = std::min(y1, height_ - 1);
        for (int y = y0; y <= y1; ++y) Row(y)[x] = colour;
    }

    // A polyline as the platform's line drawing makes it: Bresenham steps
    // from each point up to, but not including, the next one, so every
    // pixel of a segment stays inside the box of its end points.
    void PolylineExclusive(const std::vector<QPoint>& points, QRgb colour) {
        for (size_t i = 1; i < points.size(); ++i) {
            int x = points[i - 1].x();
            int y = points[i - 1].y();
            const int x1 = points[i].x();
            const int y1 = points[i].y();
            const int dx = std::abs(x1 - x);
            const int dy = -std::abs(y1 - y);
            const int sx = x < x1 ? 1 : -1;
            const int sy = y < y1 ? 1 : -1;
            int error = dx + dy;
            while (x != x1 || y != y1) {
                Plot(x, y, colour);
                const int twice = 2 * error;
                if (twice >= dy) {
                    error += dy;
                    x += sx;
                }
                if (twice <= dx) {
                    error += dx;
                    y += sy;
                }
            }
        }
    }

private:
    QRgb* Row(int y) { return reinterpret_cast<QRgb*>(bits_ + y * stride_); }

    uchar* bits_;
    qsizetype stride_;
    int width_;
    int height_;
};

bool InterfaceIsJapanese(int language_index) {
    const char* code = CQorSettings::CodeOf(language_index);
    return code != nullptr && std::strcmp(code, "JPN") == 0;
}

}  // namespace

CGSensorCtrl::CGSensorCtrl(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::number(kControlId));
    // The whole client area is painted from the off-screen image.
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    scale_face_ = MakeFace(QStringLiteral("Courier"), 10, false);
    legend_face_ = MakeFace(QStringLiteral("Arial"), 16, false);
    caption_face_ = MakeFace(QStringLiteral("Arial Unicode MS"), 20, true);
    note_face_ = MakeFace(QStringLiteral("Arial Unicode MS"), 12, true);
    FormatSpeed();
}

CGSensorCtrl::~CGSensorCtrl() = default;

CGSensorCtrl::TextFace CGSensorCtrl::MakeFace(const QString& family, int cell_height, bool bold) {
    TextFace face;
    // Arial Unicode MS is a pan-Unicode face with a tall cell (room for CJK
    // glyphs), so its em is small for its height and the fixed readout
    // positions were laid out for that. Where it is missing, a CJK face with
    // Latin glyphs keeps those proportions better than the generic sans face
    // fontconfig would hand out; Arial's substitute is the last resort.
    QString requested = family;
    if (family == QLatin1String("Arial Unicode MS") && !QFontDatabase::hasFamily(family)) {
        requested = QStringLiteral("Arial");
        for (const char* candidate : {"Noto Sans CJK JP", "Source Han Sans JP", "Noto Sans JP"}) {
            if (QFontDatabase::hasFamily(QLatin1String(candidate))) {
                requested = QLatin1String(candidate);
                break;
            }
        }
    }
    face.font = QFont(requested);
    face.font.setStyleHint(family.startsWith(QLatin1String("Courier")) ? QFont::TypeWriter
                                                                       : QFont::SansSerif);
    face.font.setWeight(bold ? QFont::Bold : QFont::Normal);
    // The requested height is the font's cell (ascent + descent), which is
    // taller than its em: take the face's ratio at a large size, where
    // rounding does not distort it.
    constexpr int kProbeSize = 256;
    face.font.setPixelSize(kProbeSize);
    const double ratio = QFontMetricsF(face.font).height() / kProbeSize;
    const int em = ratio > 0 ? static_cast<int>(cell_height / ratio + 0.5) : cell_height;
    face.font.setPixelSize(em > 0 ? em : 1);
    const QFontMetrics metrics(face.font);
    face.ascent = metrics.ascent();
    face.height = metrics.height();
    return face;
}

void CGSensorCtrl::ClearSamples() {
    samples_.clear();
    current_time_ = 0.0;
    InvalidateLayer();
    update();
}

void CGSensorCtrl::SetGain(double gain, double range) {
    const double new_gain = NormalizeGain(gain);
    const double new_range = NormalizeGain(range);
    if (new_gain != gain_ || new_range != range_) InvalidateLayer();
    gain_ = new_gain;
    range_ = new_range;
}

int CGSensorCtrl::SetSamples(const GSensorRecord* records, size_t count) {
    if (records == nullptr || count == 0) return 0;
    AppendGSensorChanges(records, count, samples_);
    InvalidateLayer();
    return 1;
}

void CGSensorCtrl::SetSamplesPerMs(double samples_per_ms) {
    if (samples_per_ms != samples_per_ms_) InvalidateLayer();
    samples_per_ms_ = samples_per_ms;
}

void CGSensorCtrl::SetCursorTime(double ms) {
    current_time_ = ClampCursorTime(ms, samples_.size(), samples_per_ms_);
    update();
}

void CGSensorCtrl::SetSpeedReadout(bool valid, unsigned speed_kmh) {
    if (valid == speed_valid_ && speed_kmh == speed_) return;
    speed_valid_ = valid;
    speed_ = speed_kmh;
    FormatSpeed();
    update();
}

void CGSensorCtrl::SetCurvesHidden(bool hidden) {
    if (hidden != curves_hidden_) InvalidateLayer();
    curves_hidden_ = hidden;
}

void CGSensorCtrl::Repaint() {
    update();
}

bool CGSensorCtrl::IsAxisVisible(int axis) const {
    return axis >= 0 && axis < 3 && axis_visible_[static_cast<size_t>(axis)];
}

void CGSensorCtrl::SetAxisVisible(int axis, bool visible) {
    if (axis < 0 || axis >= 3) return;
    bool& flag = axis_visible_[static_cast<size_t>(axis)];
    if (flag != visible) InvalidateLayer();
    flag = visible;
}

QRect CGSensorCtrl::legend_rect(int axis) const {
    if (axis < 0 || axis >= 3) return {};
    return legend_rects_[static_cast<size_t>(axis)];
}

QFont CGSensorCtrl::legend_label_font(int axis) const {
    if (axis < 0 || axis >= 3) return {};
    return legend_label_fonts_[static_cast<size_t>(axis)];
}

QString CGSensorCtrl::legend_text(int axis) const {
    if (axis < 0 || axis >= 3) return {};
    return legend_texts_[static_cast<size_t>(axis)];
}

void CGSensorCtrl::FormatSpeed() {
    readout_valid_ = false;
    speed_text_ = QString::asprintf("%3u", ShownSpeed(speed_, metric_));
    unit_text_ = metric_ ? QStringLiteral("Km/h") : QStringLiteral("MPH");
}

void CGSensorCtrl::LoadStrings() {
    const int language = CQorSettings::Instance().language_index();
    if (language == strings_language_) return;
    strings_language_ = language;
    readout_valid_ = false;
    for (size_t axis = 0; axis < 3; ++axis) {
        axis_labels_[axis] = QString::fromStdString(LoadUiString(kAxisLabelIds[axis]));
    }
    speed_caption_ = QString::fromStdString(LoadUiString(kSpeedCaptionId));
    speed_note_ = QString::fromStdString(LoadUiString(kSpeedNoteId));
}

const QImage& CGSensorCtrl::RenderFrame() {
    const QSize client = size();
    if (client.isEmpty()) {
        frame_ = QImage();
        return frame_;
    }
    LoadStrings();
    if (!readout_valid_ || readout_client_width_ != client.width()) RenderReadout(client.width());
    const GraphGeometry geometry = ComputeGraphGeometry(client.width(), client.height());
    const double span_ms = ComputeSpanMs(samples_.size(), samples_per_ms_);
    if (!layer_valid_ || layer_.size() != client) RenderLayer(geometry, span_ms);

    // Start from the cached axes and curves; the cursor, the scale labels and
    // the legend values are drawn again, the readout is laid over as cached.
    if (frame_.size() != client || frame_.format() != layer_.format()) {
        frame_ = QImage(client, layer_.format());
    }
    std::memcpy(frame_.bits(), layer_.constBits(), static_cast<size_t>(layer_.sizeInBytes()));

    QPainter painter(&frame_);
    DrawIncidentMarks(painter, geometry, span_ms);
    DrawCursor(painter, geometry, span_ms);
    DrawScaleLabels(painter, client.height());
    DrawLegend(painter, client.width());
    painter.drawImage(0, 0, readout_);
    return frame_;
}

void CGSensorCtrl::RenderReadout(int client_width) {
    // The readout only changes with the speed, the unit or the language,
    // while its gradient text is the costliest drawing of the strip. It is
    // drawn once onto a transparent image, which lays over the frame exactly
    // as drawing it there would. The box covers the note's end and the
    // descent of the 30-pixel digits.
    const bool japanese = InterfaceIsJapanese(strings_language_);
    const SpeedReadoutLayout layout =
        ComputeSpeedReadoutLayout(japanese, ShownSpeed(speed_, metric_));
    const int note_end =
        layout.note_x + QFontMetrics(note_face_.font).horizontalAdvance(speed_note_) + 4;
    const int width = std::max(1, std::min(client_width, std::max(note_end, layout.note_x)));
    const int height =
        std::max({8 + 28, 20 + caption_face_.height, 26 + note_face_.height, 8 + 30 * 3 / 2}) + 2;
    readout_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    readout_.fill(Qt::transparent);
    QPainter painter(&readout_);
    DrawSpeedReadout(painter, japanese);
    readout_valid_ = true;
    readout_client_width_ = client_width;
}

void CGSensorCtrl::RenderLayer(const GraphGeometry& g, double span_ms) {
    if (layer_.size() != size()) layer_ = QImage(size(), QImage::Format_RGB32);
    layer_.fill(Qt::black);
    layer_valid_ = true;
    PixelCanvas canvas(layer_);

    // Lines end one pixel short of their end point, as the platform draws.
    canvas.HorizontalLine(g.left, g.right - 1, g.zero_y, kZeroLineColour);
    canvas.VerticalLine(g.left, g.top, g.bottom - 1, kTickColour);
    if (g.width > 0) {
        // Long clips put several ticks into one column; the longest covers
        // the others, so each column is drawn once with its longest tick.
        std::vector<uint8_t> column_length(static_cast<size_t>(g.width), 0);
        const int ticks = TickCount(span_ms);
        for (int i = 0; i < ticks; ++i) {
            const int column = TickX(i, g, span_ms) - g.left;
            if (column < 0 || column >= g.width) continue;
            auto& length = column_length[static_cast<size_t>(column)];
            const auto tick = static_cast<uint8_t>(TickLength(i));
            if (tick > length) length = tick;
        }
        for (int column = 0; column < g.width; ++column) {
            const int length = column_length[static_cast<size_t>(column)];
            if (length == 0) continue;
            const int x = g.left + column;
            for (int base : {g.top, g.zero_y, g.bottom}) {
                canvas.VerticalLine(x, base - length, base - 1, kTickColour);
            }
        }
    }

    const bool any_axis = axis_visible_[0] || axis_visible_[1] || axis_visible_[2];
    if (curves_hidden_ || !any_axis || samples_.empty() || g.width <= 0 || g.height <= 0) return;

    // Each column takes the sample at its time; columns that fall on the
    // sample of the previous column are skipped, so every sample is visited
    // at most once.
    std::array<std::vector<QPoint>, 3> curves;
    for (auto& curve : curves) {
        curve.reserve(static_cast<size_t>(g.width) + 1);
        curve.emplace_back(g.left, g.zero_y);
    }
    const auto count = static_cast<int64_t>(samples_.size());
    int64_t previous = -1;
    for (int column = 0; column < g.width; ++column) {
        const int64_t index = ColumnSampleIndex(column, span_ms, g.width, samples_per_ms_);
        if (index < 0 || index >= count) break;
        if (index == previous) continue;
        previous = index;
        const GSensorChange& change = samples_[static_cast<size_t>(index)];
        const int x = g.left + column;
        curves[0].emplace_back(x, ValueY(change.x, gain_, range_, g));
        curves[1].emplace_back(x, ValueY(change.y, gain_, range_, g));
        curves[2].emplace_back(x, ValueY(change.z, gain_, range_, g));
    }
    for (size_t axis = 0; axis < 3; ++axis) {
        if (axis_visible_[axis]) canvas.PolylineExclusive(curves[axis], kAxisColours[axis]);
    }
}

void CGSensorCtrl::SetIncidentMarks(std::vector<double> times_ms) {
    if (times_ms == incident_marks_) return;
    incident_marks_ = std::move(times_ms);
    update();
}

void CGSensorCtrl::DrawIncidentMarks(QPainter& painter, const GraphGeometry& g, double span_ms) {
    if (incident_marks_.empty() || g.bottom <= g.top) return;
    const QColor line(0xFF, 0x9A, 0x1F, 0x90);
    const QColor tip(0xFF, 0x9A, 0x1F);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    for (double time_ms : incident_marks_) {
        const int x = CursorX(time_ms, g, span_ms);
        painter.fillRect(QRect(x, g.top, 1, g.bottom - g.top), line);
        const QPointF triangle[3] = {QPointF(x - 4.5, g.top - 9), QPointF(x + 5.5, g.top - 9),
                                     QPointF(x + 0.5, g.top - 2)};
        painter.setBrush(tip);
        painter.drawPolygon(triangle, 3);
    }
    painter.restore();
}

void CGSensorCtrl::DrawCursor(QPainter& painter, const GraphGeometry& g, double span_ms) {
    // A 2-pixel pen centred on x covers the columns x - 1 and x.
    const int x = CursorX(current_time_, g, span_ms);
    const int top = g.top - 4;
    if (g.bottom > top)
        painter.fillRect(QRect(x - 1, top, 2, g.bottom - top), QColor(kCursorColour));
}

void CGSensorCtrl::DrawScaleLabels(QPainter& painter, int client_height) {
    // White on an opaque black box, like the text it stands beside.
    painter.setFont(scale_face_.font);
    painter.setPen(QColor(Qt::white));
    const QFontMetrics metrics(scale_face_.font);
    const int sixth = client_height / 6;
    const QString labels[2] = {QString::asprintf("%1.0fG", range_),
                               QString::asprintf("%1.0fG", -range_)};
    const int tops[2] = {sixth + 26, 5 * sixth + 8};
    for (int i = 0; i < 2; ++i) {
        painter.fillRect(
            QRect(4, tops[i], metrics.horizontalAdvance(labels[i]), scale_face_.height), Qt::black);
        painter.drawText(4, tops[i] + scale_face_.ascent, labels[i]);
    }
}

void CGSensorCtrl::DrawLegend(QPainter& painter, int client_width) {
    painter.setFont(legend_face_.font);
    int x = client_width - kLegendRightOffset;
    for (int axis : kLegendOrder) {
        const auto a = static_cast<size_t>(axis);
        const double value = LegendValueAt(samples_, current_time_, samples_per_ms_, gain_, axis);
        // One space less before a minus sign keeps the digits in line.
        const QString text = value >= 0 ? QString::asprintf(":  %0.4f G ", value)
                                        : QString::asprintf(": %0.4f G ", value);
        const int baseline = kLegendTop + legend_face_.ascent;
        // Wide labels (Japanese) shrink so they end before the value's colon.
        QFont label_font = legend_face_.font;
        const int room = kLegendValueOffset - kLegendLabelGap;
        const int width = QFontMetrics(label_font).horizontalAdvance(axis_labels_[a]);
        label_font.setPixelSize(LegendLabelPixelSize(label_font.pixelSize(), width, room));
        while (label_font.pixelSize() > 9 &&
               QFontMetrics(label_font).horizontalAdvance(axis_labels_[a]) > room) {
            label_font.setPixelSize(label_font.pixelSize() - 1);
        }
        legend_label_fonts_[a] = label_font;
        painter.setFont(label_font);
        painter.setPen(QColor(kAxisColours[a]));
        painter.drawText(x + 1, baseline, axis_labels_[a]);
        painter.setFont(legend_face_.font);
        painter.setPen(QColor(kTextGrey));
        painter.drawText(x + kLegendValueOffset, baseline, text);
        legend_texts_[a] = text;
        legend_rects_[a] = QRect(x + 1, kLegendTop, kLegendHitWidth, legend_face_.height);
        x += kLegendStep;
    }
}

void CGSensorCtrl::DrawSpeedReadout(QPainter& painter, bool japanese) {
    painter.setFont(caption_face_.font);
    painter.setPen(QColor(kTextGrey));
    painter.drawText(4, 20 + caption_face_.ascent, speed_caption_);

    const SpeedReadoutLayout layout =
        ComputeSpeedReadoutLayout(japanese, ShownSpeed(speed_, metric_));
    painter.fillRect(QRect(layout.digits_x, 8, 110, 28), Qt::black);
    if (speed_valid_) {
        DrawGradientText(speed_text_, painter, layout.digits_x, 8, 30);
    } else {
        DrawGradientText(QStringLiteral("---"), painter, layout.digits_x + 8, 8, 30);
    }
    DrawGradientText(unit_text_, painter, layout.unit_x, 22, 14);
    speed_box_ = QRect(QPoint(layout.unit_x, 22), QPoint(layout.note_x - 1, 35));

    painter.setFont(note_face_.font);
    painter.setPen(QColor(kTextGrey));
    painter.drawText(layout.note_x, 26 + note_face_.ascent, speed_note_);
}

void CGSensorCtrl::paintEvent(QPaintEvent* /*event*/) {
    const QImage& frame = RenderFrame();
    if (frame.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, frame);
}

void CGSensorCtrl::resizeEvent(QResizeEvent* event) {
    InvalidateLayer();
    QWidget::resizeEvent(event);
}

void CGSensorCtrl::mousePressEvent(QMouseEvent* event) {
    // Qt keeps sending the moves and the release here while the button is
    // held, which is the capture the strip needs.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CGSensorCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    for (int axis = 0; axis < 3; ++axis) {
        if (legend_rects_[static_cast<size_t>(axis)].contains(point)) {
            SetAxisVisible(axis, !IsAxisVisible(axis));
            break;
        }
    }
    update();
}

void CGSensorCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (speed_box_.contains(event->position().toPoint())) {
        metric_ = !metric_;
        FormatSpeed();
    }
    update();
}

void CGSensorCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) update();
    QWidget::mouseMoveEvent(event);
}

}  // namespace orvo
