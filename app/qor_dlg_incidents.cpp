// The main window's incidents and trips: the background scan of a loaded
// card, the marks of the current recording, N / Shift+N, and the whole
// trip's track on the map.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>

#include "app/incident_scanner.h"
#include "app/qor_dlg.h"
#include "app/qor_settings.h"
#include "app/trip_summary_cache.h"
#include "controls/video_slider.h"
#include "gps/html_map_dlg.h"
#include "gps/map_script.h"
#include "gsensor/gsensor_ctrl.h"
#include "incidents/incident_navigator.h"
#include "incidents/trip_summary.h"
#include "incidents/trip_summary_text.h"
#include "library/file_list_ctrl.h"
#include "playback/player_event_sink.h"

namespace orvo {

namespace {

// The rows of the file list are marked at most this often while a scan
// runs: marking walks every row, and results arrive many times a second.
constexpr int kRowMarksEveryMs = 250;
// Positions of a trip drawn at most: a faint line under the recording's
// track needs no more, and a day's drive holds tens of thousands.
constexpr size_t kTripPointsDrawn = 3000;

}  // namespace

void CQORDlg::InitIncidents() {
    incident_scanner_ = new CIncidentScanner(this);
    incident_rows_timer_.setSingleShot(true);
    incident_rows_timer_.setInterval(kRowMarksEveryMs);
    connect(&incident_rows_timer_, &QTimer::timeout, this, [this] { ShowIncidentRows(); });
    connect(incident_scanner_, &CIncidentScanner::ResultsArrived, this,
            [this](const std::vector<std::string>& paths) { OnIncidentResults(paths); });
    connect(incident_scanner_, &CIncidentScanner::Finished, this, [this] {
        incident_rows_timer_.stop();
        ShowIncidentRows();
        ShowTripOfClip();
    });

    trip_summaries_ = new CTripSummaryCache(this);
    if (file_list_ctrl_ != nullptr) {
        file_list_ctrl_->SetRowToolTipSource([this](int row) { return TripToolTipOfRow(row); });
        connect(trip_summaries_, &CTripSummaryCache::Ready, file_list_ctrl_,
                &CQorFileListCtrl::RefreshToolTip);
    }

    auto* next = new QShortcut(QKeySequence(Qt::Key_N), this);
    next->setContext(Qt::WindowShortcut);
    connect(next, &QShortcut::activated, this, [this] { JumpToIncident(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_N), this);
    previous->setContext(Qt::WindowShortcut);
    connect(previous, &QShortcut::activated, this, [this] { JumpToIncident(false); });
}

void CQORDlg::StartIncidentScan() {
    incident_stop_ = -1;
    incident_seek_ms_ = -1;
    incident_marks_path_.clear();
    trip_drawn_key_.clear();
    trip_summaries_->Reset();
    incident_rows_timer_.stop();
    if (file_list_ctrl_ != nullptr) file_list_ctrl_->SetIncidentMarks({});
    ResetClipSpan();
    ShowIncidentsOfClip();
    incident_scanner_->Start(CardRecordingsOf(catalog_));
}

const RecordingScan* CQORDlg::IncidentScanOf(int entry) const {
    if (entry < 0 || entry >= catalog_.Count()) return nullptr;
    return incident_scanner_->book().Find(
        RecordingPathOf(catalog_.entries()[static_cast<size_t>(entry)]));
}

void CQORDlg::OnIncidentResults(const std::vector<std::string>& paths) {
    if (!incident_rows_timer_.isActive()) incident_rows_timer_.start();
    const int selected = catalog_.SelectedIndex();
    if (selected >= 0) {
        const std::string path = RecordingPathOf(catalog_.entries()[static_cast<size_t>(selected)]);
        if (std::find(paths.begin(), paths.end(), path) != paths.end()) ShowIncidentsOfClip();
    }
    ShowTripOfClip();
}

void CQORDlg::ShowIncidentRows() {
    if (file_list_ctrl_ == nullptr) return;
    std::vector<char> marked(static_cast<size_t>(catalog_.Count()), 0);
    for (int entry = 0; entry < catalog_.Count(); ++entry) {
        const RecordingScan* scan = IncidentScanOf(entry);
        marked[static_cast<size_t>(entry)] = scan != nullptr && !scan->incidents.empty();
    }
    file_list_ctrl_->SetIncidentMarks(marked);
}

void CQORDlg::ShowIncidentsOfClip() {
    const int selected = catalog_.SelectedIndex();
    const RecordingScan* scan = IncidentScanOf(selected);
    std::vector<int> per_mille;
    std::vector<double> times_ms;
    if (scan != nullptr) {
        const uint32_t duration = catalog_.entries()[static_cast<size_t>(selected)].info.durationMs;
        for (const Incident& incident : scan->incidents) {
            times_ms.push_back(incident.offsetMs);
            per_mille.push_back(SeekSliderPosition(incident.offsetMs, duration));
        }
    }
    if (seek_slider_ != nullptr) seek_slider_->SetIncidentMarks(std::move(per_mille));
    if (auto* graph = qobject_cast<CGSensorCtrl*>(gsensor_)) {
        graph->SetIncidentMarks(std::move(times_ms));
    }
}

void CQORDlg::ShowTripOfClip() {
    auto* map = qobject_cast<CHtmlMapDlg*>(map_view_);
    const int selected = catalog_.SelectedIndex();
    if (map == nullptr || selected < 0) return;
    const ClipRow& row = catalog_.rows()[static_cast<size_t>(selected)];
    const ClipGroup& group = catalog_.groups()[static_cast<size_t>(row.group)];
    const auto& entries = catalog_.entries();
    const std::string key = RecordingPathOf(entries[static_cast<size_t>(group.first)]) + '\n' +
                            std::to_string(group.count);
    if (key == trip_drawn_key_) return;
    // Drawn once every recording of the trip has been read, so the fit
    // covers all of it.
    std::vector<const RecordingScan*> parts;
    for (int entry = group.first; entry < group.first + group.count; ++entry) {
        const RecordingScan* scan = IncidentScanOf(entry);
        if (scan == nullptr) return;
        parts.push_back(scan);
    }
    map->RunScript(std::string(kTripDeleteScript));
    for (const GeoPosition& p : TripTrackOf(parts, kTripPointsDrawn)) {
        map->RunScript(TripPlotScript(p.latitude, p.longitude));
    }
    map->RunScript(std::string(kTripFitScript));
    trip_drawn_key_ = key;
}

QString CQORDlg::TripToolTipOfRow(int row) {
    // Rows are catalogue entries; the trip is taken in time order, so a
    // sort by name or newest first still shows the whole drive.
    const std::vector<int> members = TripEntriesOf(catalog_.entries(), row);
    if (members.empty()) return {};
    std::vector<ClipEntry> recordings;
    recordings.reserve(members.size());
    for (int entry : members) recordings.push_back(catalog_.entries()[static_cast<size_t>(entry)]);
    const int language = CQorSettings::Instance().language_index();
    const TripSummary* trip = trip_summaries_->Find(std::move(recordings), members.front());
    return QString::fromStdString(trip != nullptr ? TripSummaryText(*trip, language)
                                                  : TripSummaryPendingText(language));
}

void CQORDlg::RedrawTrip() {
    trip_drawn_key_.clear();
    ShowTripOfClip();
}

void CQORDlg::FollowClipIncidents() {
    const int selected = catalog_.SelectedIndex();
    const std::string path =
        selected >= 0 ? RecordingPathOf(catalog_.entries()[static_cast<size_t>(selected)])
                      : std::string();
    if (path == incident_marks_path_) return;
    incident_marks_path_ = path;
    ShowIncidentsOfClip();
    ShowClipSpanMarks();
    ShowTripOfClip();
}

bool CQORDlg::ApplyIncidentSeek() {
    if (incident_seek_ms_ < 0) return false;
    const int64_t target = std::exchange(incident_seek_ms_, -1);
    // Another recording was started meanwhile: its time report is its own.
    if (current_clip_path_ != incident_seek_path_ || target == 0) return false;
    SeekClipTo(target);
    return true;
}

void CQORDlg::SeekClipTo(int64_t time_ms) {
    player_->SetTime(time_ms);
    catalog_.RedrawDrivenPath(time_ms);
    MoveSeekSliderTo(SeekSliderPosition(time_ms, player_->GetLength()));
    TimeUpdate(time_ms);
}

void CQORDlg::JumpToIncident(bool forward) {
    if (catalog_.Count() == 0) return;
    std::vector<std::vector<Incident>> by_entry(static_cast<size_t>(catalog_.Count()));
    for (int entry = 0; entry < catalog_.Count(); ++entry) {
        if (const RecordingScan* scan = IncidentScanOf(entry)) {
            by_entry[static_cast<size_t>(entry)] = scan->incidents;
        }
    }
    const std::vector<IncidentStop> stops = BuildIncidentStops(by_entry);

    const int selected = catalog_.SelectedIndex();
    const bool loaded = selected >= 0 && (player_->playing() != 0 || player_->paused() != 0);
    const int entry = loaded ? selected : std::max(selected, 0);
    const int64_t now = loaded ? std::max<int64_t>(player_->GetTime(), 0) : 0;
    const int stop = forward ? NextIncidentStop(stops, entry, now, incident_stop_)
                             : PreviousIncidentStop(stops, entry, now, incident_stop_);
    if (stop < 0) {
        QApplication::beep();
        return;
    }
    const IncidentStop& target = stops[static_cast<size_t>(stop)];
    if (loaded && target.entry == selected) {
        incident_stop_ = stop;
        SeekClipTo(target.seekMs);
        return;
    }
    // The recording is started as a double click in the list would; the
    // seek waits for its first time report, when the engine can take it.
    if (ClipSwitchGuard().load() != 0) return;  // a recording is still starting
    FileClicked(target.entry);
    incident_stop_ = stop;
    incident_seek_path_ = current_clip_path_;
    incident_seek_ms_ = target.seekMs;
}

}  // namespace orvo
