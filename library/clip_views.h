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

// The file list (control 1027): one row per catalogue entry, in the
// catalogue's row order. Rows carry the entry index as their item data.
class IFileListView {
public:
    virtual ~IFileListView() = default;
    // Appends one row; 1 when added, 0 when the list refused the insert.
    // folder is rootFolder + subFolder; info is passed for lists that show
    // more than the name.
    virtual int AddFile(int entry_index, const std::string& folder, const std::string& file_name,
                        const ClipInfo& info) = 0;
    virtual void DeleteAllItems() = 0;
    // The current-row mark (drawn like a drop highlight, not as a selection).
    virtual void SetRowMarked(int row, bool marked) = 0;
    virtual void EnsureRowVisible(int row) = 0;
    // The row's tick box (rows are added unticked).
    virtual void SetRowTicked(int /*row*/, bool /*ticked*/) {}
};

// The group list (control 1028): one row per group of consecutive
// recordings, with a check box per row that ticks the group for the file
// operations. The main window leaves it unbound.
class IGroupListView {
public:
    virtual ~IGroupListView() = default;
    // Appends "G<group_number>"; image_index is the group's flags byte,
    // start_time seconds since 1970 UTC. 1 when added, 0 when refused.
    virtual int AddGroup(int group_number, const std::string& picture_size,
                         uint64_t total_duration_ms, uint64_t total_size, int image_index,
                         int64_t start_time) = 0;
    virtual void DeleteAllItems() = 0;
    virtual bool IsRowChecked(int row) const = 0;
    virtual void SetRowMarked(int row, bool marked) = 0;
    virtual void EnsureRowVisible(int row) = 0;
};

// What the Save-as copy asks of the main window: the overwrite question
// (string 141, caption 140) and the status board as a progress display.
// SetProgress has the signature of ITelemetryPanel::SetProgress, so one
// override in the main window serves both.
class ICopyProgressView {
public:
    virtual ~ICopyProgressView() = default;
    // true: overwrite target_path; false: skip this recording.
    virtual bool ConfirmOverwrite(const std::string& target_path) = 0;
    virtual void ShowProgress(bool shown) = 0;
    virtual void SetProgress(int percent) = 0;
};

}  // namespace orvo
