#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "metadata/telemetry.h"

namespace orvo {

// The views the clip catalogue feeds. The Qt widgets implement them; tests
// use fakes that record the calls. The catalogue holds non-owning pointers
// and skips every view that is not bound.

// The G-sensor graph (control 1003).
class IGSensorView {
public:
    virtual ~IGSensorView() = default;
    virtual void ClearSamples() = 0;
    virtual void SetGain(double gain, double range) = 0;
    virtual int SetSamples(const GSensorRecord* records, size_t count) = 0;
    virtual void SetSamplesPerMs(double samples_per_ms) = 0;
    virtual void SetCursorTime(double ms) = 0;
    virtual void SetSpeedReadout(bool valid, unsigned speed_kmh) = 0;
    virtual void SetCurvesHidden(bool hidden) = 0;
    virtual void Repaint() = 0;
};

// The map page (control 1004). Script texts are the page's function calls,
// e.g. "path_plot(37.525000,127.020000)".
class IMapView {
public:
    virtual ~IMapView() = default;
    virtual void RunScript(const std::string& script) = 0;
    // Stored NMEA values / 100; the view converts them for the page.
    virtual void MoveMarker(double latitude, double longitude, int heading_degrees) = 0;
};

// The main window's compass, speed label and status board.
class ITelemetryPanel {
public:
    virtual ~ITelemetryPanel() = default;
    virtual void SetHeading(int degrees) = 0;
    virtual void ClearHeading() = 0;
    virtual void SetSpeed(bool valid, unsigned speed_kmh) = 0;
    virtual void SetProgress(int percent) = 0;
};

// The video surface's scan counter, repainted synchronously during a scan.
class IScanCounterView {
public:
    virtual ~IScanCounterView() = default;
    virtual void SetScanCount(int files_visited) = 0;
};

}  // namespace orvo
