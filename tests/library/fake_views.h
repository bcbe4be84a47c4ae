#pragma once

// Views for the catalogue tests that record every call as a line of text in
// one shared log, so tests can check both what was called and in what order.

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "library/clip_views.h"
#include "library/number_text.h"

namespace orvo::testing {

using CallLog = std::vector<std::string>;

class FakeFileList : public IFileListView {
public:
    explicit FakeFileList(CallLog* log) : log_(log) {}
    int AddFile(int entry_index, const std::string& folder, const std::string& file_name,
                const ClipInfo&) override {
        rows.push_back(file_name);
        folders.push_back(folder);
        log_->push_back("file.add " + std::to_string(entry_index) + " " + file_name);
        return 1;
    }
    void DeleteAllItems() override {
        rows.clear();
        folders.clear();
        ticked.clear();
        log_->push_back("file.clear");
    }
    void SetRowTicked(int row, bool tick) override {
        if (tick)
            ticked.insert(row);
        else
            ticked.erase(row);
    }
    void SetRowMarked(int row, bool marked) override {
        if (marked)
            marks.insert(row);
        else
            marks.erase(row);
        log_->push_back("file.mark " + std::to_string(row) + (marked ? " on" : " off"));
    }
    void EnsureRowVisible(int row) override { log_->push_back("file.show " + std::to_string(row)); }

    std::vector<std::string> rows;
    std::vector<std::string> folders;
    std::set<int> marks;
    std::set<int> ticked;

private:
    CallLog* log_;
};

class FakeGroupList : public IGroupListView {
public:
    explicit FakeGroupList(CallLog* log) : log_(log) {}
    int AddGroup(int group_number, const std::string& picture_size, uint64_t total_duration_ms,
                 uint64_t total_size, int image_index, int64_t start_time) override {
        rows.push_back("G" + std::to_string(group_number) + " " + picture_size + " " +
                       std::to_string(total_duration_ms) + " " + std::to_string(total_size) + " " +
                       std::to_string(image_index) + " " + std::to_string(start_time));
        log_->push_back("group.add " + std::to_string(group_number));
        return 1;
    }
    void DeleteAllItems() override {
        rows.clear();
        log_->push_back("group.clear");
    }
    bool IsRowChecked(int row) const override { return checked.count(row) != 0; }
    void SetRowMarked(int row, bool marked) override {
        if (marked)
            marks.insert(row);
        else
            marks.erase(row);
        log_->push_back("group.mark " + std::to_string(row) + (marked ? " on" : " off"));
    }
    void EnsureRowVisible(int row) override {
        log_->push_back("group.show " + std::to_string(row));
    }

    std::vector<std::string> rows;
    std::set<int> checked;
    std::set<int> marks;

private:
    CallLog* log_;
};

class FakeGSensor : public IGSensorView {
public:
    explicit FakeGSensor(CallLog* log) : log_(log) {}
    void ClearSamples() override {
        samples.clear();
        log_->push_back("g.clear");
    }
    void SetGain(double gain, double range) override {
        log_->push_back("g.gain " + FormatFixed(gain, 1) + " " + FormatFixed(range, 1));
    }
    int SetSamples(const GSensorRecord* records, size_t count) override {
        samples.assign(records, records + count);
        log_->push_back("g.samples " + std::to_string(count));
        return count == 0 ? 0 : 1;
    }
    void SetSamplesPerMs(double samples_per_ms) override {
        log_->push_back("g.perms " + FormatFixed(samples_per_ms, 4));
    }
    void SetCursorTime(double ms) override { log_->push_back("g.cursor " + FormatFixed(ms, 0)); }
    void SetSpeedReadout(bool valid, unsigned speed_kmh) override {
        log_->push_back("g.speed " + std::to_string(valid) + " " + std::to_string(speed_kmh));
    }
    void SetCurvesHidden(bool hidden) override {
        log_->push_back("g.hidden " + std::to_string(hidden));
    }
    void Repaint() override { log_->push_back("g.repaint"); }

    std::vector<GSensorRecord> samples;

private:
    CallLog* log_;
};

class FakeMap : public IMapView {
public:
    explicit FakeMap(CallLog* log) : log_(log) {}
    void RunScript(const std::string& script) override {
        scripts.push_back(script);
        log_->push_back("map " + script);
    }
    void MoveMarker(double latitude, double longitude, int heading_degrees) override {
        const std::string text = "marker " + FormatFixed6(latitude) + " " +
                                 FormatFixed6(longitude) + " " + std::to_string(heading_degrees);
        scripts.push_back(text);
        log_->push_back("map " + text);
    }

    std::vector<std::string> scripts;

private:
    CallLog* log_;
};

class FakePanel : public ITelemetryPanel, public ICopyProgressView {
public:
    explicit FakePanel(CallLog* log) : log_(log) {}
    void SetHeading(int degrees) override {
        log_->push_back("panel.heading " + std::to_string(degrees));
    }
    void ClearHeading() override { log_->push_back("panel.noheading"); }
    void SetSpeed(bool valid, unsigned speed_kmh) override {
        log_->push_back("panel.speed " + std::to_string(valid) + " " + std::to_string(speed_kmh));
    }
    // Serves both the telemetry panel and the copy progress.
    void SetProgress(int percent) override { progress.push_back(percent); }
    void ShowProgress(bool shown) override { log_->push_back(shown ? "board.show" : "board.hide"); }
    bool ConfirmOverwrite(const std::string& target_path) override {
        asked.push_back(target_path);
        return overwrite;
    }

    std::vector<int> progress;
    std::vector<std::string> asked;
    bool overwrite = true;

private:
    CallLog* log_;
};

class FakeScanCounter : public IScanCounterView {
public:
    void SetScanCount(int files_visited) override { counts.push_back(files_visited); }
    std::vector<int> counts;
};

}  // namespace orvo::testing
