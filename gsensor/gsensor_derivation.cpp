#include "gsensor/gsensor_derivation.h"

#include <algorithm>

#include <cmath>
#include <limits>

namespace orvo {

namespace {

int AxisValue(const GSensorRecord& record, int axis) {
    switch (axis) {
        case 0:
            return record.x;
        case 1:
            return record.y;
        default:
            return record.z;
    }
}

void SetAxisValue(GSensorChange& change, int axis, int8_t value) {
    switch (axis) {
        case 0:
            change.x = value;
            break;
        case 1:
            change.y = value;
            break;
        default:
            change.z = value;
            break;
    }
}

// Change i (i >= 1) of one axis; p is the record two steps back (the first
// record for i = 1, where the two steps coincide).
int8_t StepChange(int current, int previous, int before_previous) {
    const int d1 = ReduceTo8Bits(current - previous);
    const int d2 = current - before_previous;
    if (d1 > 0) return d1 < d2 ? ReduceTo8Bits(d2) : static_cast<int8_t>(d1);
    if (d1 < 0) return d1 > d2 ? ReduceTo8Bits(d2) : static_cast<int8_t>(d1);
    return 0;
}

}  // namespace

int8_t ReduceTo8Bits(int value) {
    // Unsigned arithmetic keeps the wrap well defined for any int.
    const auto low = static_cast<uint8_t>(static_cast<unsigned>(value) & 0xFFu);
    return static_cast<int8_t>(low);
}

void AppendGSensorChanges(const GSensorRecord* records, size_t count,
                          std::vector<GSensorChange>& out) {
    if (records == nullptr || count == 0) return;
    out.reserve(out.size() + count);
    GSensorChange first{};
    if (count >= 2) {
        for (int axis = 0; axis < 3; ++axis) {
            // At most 255 / 2 in magnitude: always fits.
            const int half = (AxisValue(records[1], axis) - AxisValue(records[0], axis)) / 2;
            SetAxisValue(first, axis, static_cast<int8_t>(half));
        }
    }
    out.push_back(first);
    for (size_t i = 1; i < count; ++i) {
        const GSensorRecord& back2 = i == 1 ? records[0] : records[i - 2];
        GSensorChange change{};
        for (int axis = 0; axis < 3; ++axis) {
            SetAxisValue(change, axis,
                         StepChange(AxisValue(records[i], axis), AxisValue(records[i - 1], axis),
                                    AxisValue(back2, axis)));
        }
        out.push_back(change);
    }
}

std::vector<GSensorChange> DeriveGSensorChanges(const GSensorRecord* records, size_t count) {
    std::vector<GSensorChange> out;
    AppendGSensorChanges(records, count, out);
    return out;
}

double NormalizeGain(double value) {
    if (!std::isfinite(value) || std::trunc(value) == 0.0) return 8.0;
    return value;
}

GraphGeometry ComputeGraphGeometry(int client_width, int client_height) {
    GraphGeometry g;
    g.left = kPlotInsetLeft;
    g.top = kPlotInsetTop;
    g.right = client_width - kPlotInsetRight;
    g.bottom = client_height - kPlotInsetBottom;
    g.width = g.right - g.left;
    g.height = g.bottom - g.top;
    g.zero_y = g.top + g.height / 2;
    return g;
}

int64_t TruncateToInt64(double value) {
    if (std::isnan(value)) return 0;
    // 2^63 as a double; anything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (value >= kLimit) return std::numeric_limits<int64_t>::max();
    if (value <= -kLimit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

int TruncateToInt(double value) {
    const int64_t v = TruncateToInt64(value);
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

double ComputeSpanMs(size_t sample_count, double samples_per_ms) {
    if (!(samples_per_ms > 0.0)) return kEmptySpanMs;  // 0, negative or NaN
    const double span = std::trunc(static_cast<double>(sample_count) / samples_per_ms);
    if (!std::isfinite(span) || span <= 0.0) return kEmptySpanMs;
    return span;
}

double ComputeTotalMs(size_t sample_count, double samples_per_ms) {
    if (!(samples_per_ms > 0.0) || !std::isfinite(samples_per_ms)) return 0.0;
    const double total = static_cast<double>(sample_count) / samples_per_ms;
    return std::isfinite(total) ? total : 0.0;
}

double ClampCursorTime(double ms, size_t sample_count, double samples_per_ms) {
    if (std::isnan(ms) || ms < 0.0) return 0.0;
    const double total = ComputeTotalMs(sample_count, samples_per_ms);
    return ms > total ? total : ms;
}

int64_t SampleIndexAt(double time_ms, double samples_per_ms) {
    return TruncateToInt64(time_ms * samples_per_ms);
}

int64_t ColumnSampleIndex(int column, double span_ms, int plot_width, double samples_per_ms) {
    if (plot_width <= 0) return -1;
    const double t = std::trunc(static_cast<double>(column) * span_ms / plot_width);
    return SampleIndexAt(t, samples_per_ms);
}

int CursorX(double time_ms, const GraphGeometry& geometry, double span_ms) {
    return TruncateToInt(time_ms * geometry.width / span_ms) + geometry.left;
}

int TickCount(double span_ms) {
    // i runs while i < span / 200 (a real quotient): 20 000 ms gives 100
    // ticks, 20 100 ms gives 101.
    return TruncateToInt(std::ceil(span_ms / kTickStepMs));
}

int TickX(int index, const GraphGeometry& geometry, double span_ms) {
    return TruncateToInt(static_cast<double>(index) * geometry.width / (span_ms / kTickStepMs)) +
           geometry.left;
}

int TickLength(int index) {
    if (index % 10 == 0) return 6;
    if (index % 10 == 5) return 4;
    return 2;
}

double ChangeToG(int value, double gain) {
    return value * gain / 128.0;
}

int ValueY(int value, double gain, double range, const GraphGeometry& geometry) {
    double g = ChangeToG(value, gain);
    if (g > range) g = range;
    if (g < -range) g = -range;
    return TruncateToInt(geometry.zero_y - g * geometry.height / (2.0 * range));
}

double LegendValueAt(const std::vector<GSensorChange>& samples, double time_ms,
                     double samples_per_ms, double gain, int axis) {
    const int64_t index = SampleIndexAt(std::trunc(time_ms), samples_per_ms);
    if (index < 0 || static_cast<uint64_t>(index) >= samples.size()) return 0.0;
    return ChangeToG(AxisValue(samples[static_cast<size_t>(index)], axis), gain);
}

unsigned ShownSpeed(unsigned speed_kmh, bool metric) {
    return metric ? speed_kmh : speed_kmh * 10u / 16u;
}

SpeedReadoutLayout ComputeSpeedReadoutLayout(bool japanese, unsigned shown_speed) {
    SpeedReadoutLayout layout;
    layout.digits_x = japanese ? 34 : 54;
    layout.note_x = japanese ? 144 : 164;
    layout.unit_x = layout.digits_x + (shown_speed < 100 ? 50 : 64);
    return layout;
}

int LegendLabelPixelSize(int pixel_size, int label_width, int room) {
    constexpr int kSmallest = 9;
    if (label_width <= room || label_width <= 0 || room <= 0) return pixel_size;
    return std::max(kSmallest, pixel_size * room / label_width);
}

}  // namespace orvo
