#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include "gsensor/gsensor_derivation.h"
#include "library/clip_views.h"

namespace orvo {

// The G-sensor strip under the video (control 1003): the selected clip's
// acceleration changes as three curves over the clip's whole length, a
// cursor at the playback time, a legend with the values at the cursor and
// the GPS speed readout. Everything is composed in an off-screen image that
// paint copies to the screen in one step. The axes, ticks and curves only
// change with the data, the size or the visibility flags, so they are kept
// in a cached layer and a cursor move redraws only what lies on top.
class CGSensorCtrl : public QWidget, public IGSensorView {
    Q_OBJECT

public:
    static constexpr int kControlId = 1003;

    explicit CGSensorCtrl(QWidget* parent = nullptr);
    ~CGSensorCtrl() override;

    void ClearSamples() override;
    void SetGain(double gain, double range) override;
    int SetSamples(const GSensorRecord* records, size_t count) override;
    void SetSamplesPerMs(double samples_per_ms) override;
    void SetCursorTime(double ms) override;
    void SetSpeedReadout(bool valid, unsigned speed_kmh) override;
    void SetCurvesHidden(bool hidden) override;
    void Repaint() override;

    // Axis 0 = x (L/R), 1 = y (U/D), 2 = z (F/B). Out-of-range axes are
    // ignored (and read as hidden).
    bool IsAxisVisible(int axis) const;
    void SetAxisVisible(int axis, bool visible);

    const std::vector<GSensorChange>& samples() const { return samples_; }
    double samples_per_ms() const { return samples_per_ms_; }
    double current_time() const { return current_time_; }
    double gain() const { return gain_; }
    double range() const { return range_; }
    bool curves_hidden() const { return curves_hidden_; }
    bool speed_valid() const { return speed_valid_; }
    unsigned speed() const { return speed_; }
    bool metric() const { return metric_; }
    const QString& speed_text() const { return speed_text_; }
    const QString& unit_text() const { return unit_text_; }
    // Hit areas as the last composition left them.
    QRect legend_rect(int axis) const;
    QRect speed_box() const { return speed_box_; }
    // The value text of an axis's legend entry as last drawn.
    QString legend_text(int axis) const;
    // The font the legend label of an axis was last drawn in.
    QFont legend_label_font(int axis) const;

    // Incident marks at times in ms of the clip: a line across the plot and
    // a small triangle above it, under the cursor.
    void SetIncidentMarks(std::vector<double> times_ms);
    const std::vector<double>& incident_marks() const { return incident_marks_; }

    // Composes the current picture off-screen and returns it; paint copies
    // exactly this image to the window.
    const QImage& RenderFrame();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // A face requested by name, sized so that its cell (ascent + descent)
    // is `cell_height` pixels, with its metrics taken once.
    struct TextFace {
        QFont font;
        int ascent = 0;
        int height = 0;
    };
    static TextFace MakeFace(const QString& family, int cell_height, bool bold);

    void FormatSpeed();
    void LoadStrings();
    void InvalidateLayer() { layer_valid_ = false; }
    void RenderLayer(const GraphGeometry& geometry, double span_ms);
    void DrawCursor(QPainter& painter, const GraphGeometry& geometry, double span_ms);
    void DrawIncidentMarks(QPainter& painter, const GraphGeometry& geometry, double span_ms);
    void DrawScaleLabels(QPainter& painter, int client_height);
    void DrawLegend(QPainter& painter, int client_width);
    void DrawSpeedReadout(QPainter& painter, bool japanese);
    void RenderReadout(int client_width);

    std::vector<GSensorChange> samples_;
    std::vector<double> incident_marks_;
    double samples_per_ms_ = 0.016;
    double current_time_ = 0.0;
    double gain_ = 2.0;
    double range_ = 2.0;
    bool curves_hidden_ = false;
    std::array<bool, 3> axis_visible_{true, true, true};
    std::array<QRect, 3> legend_rects_{};
    std::array<QString, 3> legend_texts_;
    std::array<QFont, 3> legend_label_fonts_;
    QRect speed_box_;
    bool speed_valid_ = true;
    unsigned speed_ = 0;
    bool metric_ = true;
    QString speed_text_;
    QString unit_text_;

    // Texts of the interface language they were loaded for.
    int strings_language_ = -1;
    std::array<QString, 3> axis_labels_;
    QString speed_caption_;
    QString speed_note_;

    TextFace scale_face_;
    TextFace legend_face_;
    TextFace caption_face_;
    TextFace note_face_;

    // Steps up to the curves, valid while nothing they depend on changed.
    QImage layer_;
    bool layer_valid_ = false;
    QImage frame_;
    // The speed readout as last drawn, on a transparent background.
    QImage readout_;
    bool readout_valid_ = false;
    int readout_client_width_ = 0;
};

}  // namespace orvo
