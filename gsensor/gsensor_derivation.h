#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "metadata/telemetry.h"

namespace orvo {

// The arithmetic of the G-sensor graph, free of any drawing library so that
// the stored changes and the pixel geometry can be checked on their own.

// Per-sample change of acceleration, one signed byte per axis. Same layout
// as the raw record; the values mean "change", not "acceleration".
using GSensorChange = GSensorRecord;

// Two's-complement reduction of an int to 8 bits (200 -> -56).
int8_t ReduceTo8Bits(int value);

// Appends one change per record of `records` to `out` (nothing for count 0).
// The first change is half of the first step; every later one is the larger
// of the one-step and two-step change in the direction of the one-step
// change, so short spikes are not halved by sampling. Both steps are kept
// in 8 bits, as the camera's values are.
void AppendGSensorChanges(const GSensorRecord* records, size_t count,
                          std::vector<GSensorChange>& out);

// Convenience for tests and tools: the changes of one block.
std::vector<GSensorChange> DeriveGSensorChanges(const GSensorRecord* records, size_t count);

// Gain and range as the graph keeps them: a value that truncates to 0 (or
// is not finite) stands for the sensor's 8 g full scale.
double NormalizeGain(double value);

// Pixel geometry of the plot inside a W x H client area.
struct GraphGeometry {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width = 0;   // right - left
    int height = 0;  // bottom - top
    int zero_y = 0;  // top + height / 2
};

inline constexpr int kPlotInsetLeft = 14;
inline constexpr int kPlotInsetTop = 56;
inline constexpr int kPlotInsetRight = 10;
inline constexpr int kPlotInsetBottom = 8;
inline constexpr int kTickStepMs = 200;
inline constexpr double kEmptySpanMs = 20000.0;

GraphGeometry ComputeGraphGeometry(int client_width, int client_height);

// Truncation toward zero that saturates instead of overflowing; NaN gives 0.
int64_t TruncateToInt64(double value);
int TruncateToInt(double value);

// Time shown across the plot width in whole milliseconds: the clip's length
// from its sample count, or 20 s when that is unknown or zero.
double ComputeSpanMs(size_t sample_count, double samples_per_ms);

// Length of the data in ms (sample count / samples per ms); 0 when the rate
// is not a positive finite number, so the cursor then stays at 0.
double ComputeTotalMs(size_t sample_count, double samples_per_ms);

// The cursor time clamped to [0, total]; NaN counts as 0.
double ClampCursorTime(double ms, size_t sample_count, double samples_per_ms);

// Sample index of a time: truncate(t x samples per ms), saturated.
int64_t SampleIndexAt(double time_ms, double samples_per_ms);

// Sample index drawn in pixel column j: the time of the column truncated to
// whole ms, then converted. -1 for a plot without width.
int64_t ColumnSampleIndex(int column, double span_ms, int plot_width, double samples_per_ms);

// x of the cursor for a time.
int CursorX(double time_ms, const GraphGeometry& geometry, double span_ms);

// Number of ticks along the time axis (i = 0 .. count - 1) and the x and
// length of tick i: 6 every 2 s, 4 at the odd second, else 2.
int TickCount(double span_ms);
int TickX(int index, const GraphGeometry& geometry, double span_ms);
int TickLength(int index);

// Value in g of a stored change.
double ChangeToG(int value, double gain);

// y of a stored change: the value in g clamped to +-range, then scaled so
// that +range is the top edge and -range the bottom edge.
int ValueY(int value, double gain, double range, const GraphGeometry& geometry);

// The legend's value of one axis at a cursor time; 0 beyond the data.
// axis: 0 = x, 1 = y, 2 = z.
double LegendValueAt(const std::vector<GSensorChange>& samples, double time_ms,
                     double samples_per_ms, double gain, int axis);

// Pixel size of a legend label `label_width` pixels wide at `pixel_size`
// that must fit `room` pixels before its value's colon: the same size when
// it fits, else scaled down (never below 9, still readable).
int LegendLabelPixelSize(int pixel_size, int label_width, int room);

// The speed readout: MPH is km/h x 10 / 16 truncated.
unsigned ShownSpeed(unsigned speed_kmh, bool metric);

// Readout x positions of the speed digits (a) and of the note (e), by
// interface language; u, the unit's x, also depends on the shown value.
struct SpeedReadoutLayout {
    int digits_x = 0;  // a
    int note_x = 0;    // e
    int unit_x = 0;    // u
};
SpeedReadoutLayout ComputeSpeedReadoutLayout(bool japanese, unsigned shown_speed);

}  // namespace orvo
