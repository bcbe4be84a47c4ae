#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/clip_views.h"
#include "library/recording_file.h"
#include "metadata/telemetry.h"

namespace orvo {

// Bits of ClipEntry::flags and ClipGroup::flags.
inline constexpr uint8_t kClipLocked = 0x01;    // character 3 of the name is "G"
inline constexpr uint8_t kClipReadOnly = 0x02;  // the file has no owner write permission

// One accepted recording. rootFolder always ends in "/"; subFolder is empty
// for a recording directly in the root, else the relative folder ending in
// "/" (e.g. "DCIM/MOVIE/").
struct ClipEntry {
    int groupStart = 0;  // 1 when this entry opens a new group
    uint8_t flags = 0;
    std::string fileName;
    std::string rootFolder;
    std::string subFolder;
    ClipInfo info;
    // Ticked in the file list for the file operations; travels with the
    // entry through Sort and regrouping.
    bool ticked = false;
};

struct ClipGroup {
    int32_t index = 0;
    int32_t first = 0;
    int32_t count = 0;
    uint64_t totalDurationMs = 0;
    uint64_t totalSize = 0;
    uint8_t flags = 0;  // OR of the entries' flags
    int32_t checked = 0;
};

// One per entry, in entry order.
struct ClipRow {
    int32_t group = 0;
    int32_t indexInGroup = 0;
    int32_t entry = 0;
    uint64_t fileSize = 0;
    uint32_t durationMs = 0;
};

// The catalogue of recordings behind the file list and the group list: scan,
// grouping, sorting, selection, the selected recording's telemetry and the
// file operations on ticked groups. Operations return 1 or 0 and never
// throw. Views are non-owning; every unbound view is skipped.
class CClipCatalog {
public:
    CClipCatalog() = default;
    CClipCatalog(const CClipCatalog&) = delete;
    CClipCatalog& operator=(const CClipCatalog&) = delete;

    int Bind(IFileListView* file_list, IGSensorView* gsensor, IMapView* map,
             ITelemetryPanel* main_window);
    void BindScanCounter(IScanCounterView* scan_counter) { scan_counter_ = scan_counter; }
    void BindGroupList(IGroupListView* group_list) { group_list_ = group_list; }

    int Reset();
    // Empty file_name: scans the folder tree. Otherwise adds that one file
    // of that folder. 0 when the folder or file does not exist.
    int Load(const std::string& folder, const std::string& file_name);
    int Regroup();
    int Sort(bool by_name, bool ascending);

    int SelectFile(int index);
    int SelectGroup(int group);
    int GroupOfSelected() const;
    int SelectedIndex();
    std::string FullPath(int index) const;
    std::string SelectedPath();
    int SelectedPictureSize(int* width, int* height);
    int ReadCheckMarks();
    int Count() const { return static_cast<int>(entries_.size()); }

    // Ticks per entry (row index = entry index). The file operations act on
    // every ticked entry and every entry of a group ticked in the group
    // list. Setters mirror the change into the file list; 0 for an index out
    // of range.
    int SetTicked(int index, bool ticked);
    bool IsTicked(int index) const;
    // Ticks every entry of the group that holds entry index (the trip).
    int TickGroupOf(int index);
    void UntickAll();
    int TickedCount() const;
    // The entries the file operations would act on, in entry order: the
    // ticked ones and those of groups ticked in the group list (reads the
    // group list's check boxes like ReadCheckMarks).
    std::vector<int> ChosenEntries();
    // Empties the file list and adds every row again with its tick.
    void RefillFileList();

    // Files named like recordings that the last Load left out, in scan order,
    // each with its reason (emptied by Reset).
    const std::vector<SkippedFile>& skipped() const { return skipped_; }

    // Selected-clip telemetry. SelectClip returns 0 for a file that is not a
    // regular file any more or cannot be opened (it never blocks);
    // open_failure() then tells why.
    int SelectClip(int index);
    const SkippedFile& open_failure() const { return open_failure_; }
    int UpdateTelemetry(int64_t time_ms, bool refresh_graph, bool move_map);
    void RedrawDrivenPath(int64_t time_ms);

    // File operations on ChosenEntries (library/file_operations.cpp). Each
    // returns 0 at once when nothing is ticked, else 1.
    int DeleteChecked();
    int UnlockChecked();
    // Copies every chosen recording below target, recreating
    // their sub-folders. progress (may be null) answers the overwrite
    // question and shows the progress; without it existing files are kept.
    // failed (may be null) receives the full paths whose copy failed.
    int CopyChecked(const std::string& target, ICopyProgressView* progress = nullptr,
                    std::vector<std::string>* failed = nullptr);

    const std::vector<ClipEntry>& entries() const { return entries_; }
    const std::vector<ClipGroup>& groups() const { return groups_; }
    const std::vector<ClipRow>& rows() const { return rows_; }
    int selected() const { return selected_; }
    int selected_group() const { return selected_group_; }
    int visited() const { return visited_; }
    double gps_rate() const { return gps_rate_; }
    // The selected clip's GPS block as read by SelectClip (whole records).
    std::vector<GpsRecord> GpsRecords() const;
    // The selected clip's G-sensor samples as read by SelectClip.
    const std::vector<GSensorRecord>& GSensorRecords() const { return gsen_samples_; }
    size_t gsensor_size() const { return gsen_size_; }

    // The process-wide index of the last GPS record shown.
    static int64_t LastGpsIndex();

    // rootFolder + "/" + subFolder + "/" + fileName (doubled separators are
    // harmless).
    static std::string FullPathOf(const ClipEntry& entry);

private:
    void ScanFolder(const std::string& root);
    void AddFile(const std::string& root, const std::string& sub_folder,
                 const std::string& file_name, int dir_fd);
    void BuildGroups();
    void FillViews();
    void FillFileList();
    void ClearViews();
    void ClearMarks();
    void ResetDisplays();
    bool ReadBlock(int fd, uint64_t file_length, uint64_t offset, uint32_t size,
                   std::vector<uint8_t>* buffer);

    std::vector<ClipEntry> entries_;
    std::vector<ClipGroup> groups_;
    std::vector<ClipRow> rows_;
    std::vector<SkippedFile> skipped_;
    SkippedFile open_failure_;

    IGroupListView* group_list_ = nullptr;
    IFileListView* file_list_ = nullptr;
    IGSensorView* gsensor_ = nullptr;
    IMapView* map_ = nullptr;
    ITelemetryPanel* main_window_ = nullptr;
    IScanCounterView* scan_counter_ = nullptr;

    int selected_ = -1;
    int selected_group_ = 0;
    int visited_ = 0;

    // Telemetry of the selected clip. A buffer is filled only when its block
    // lies inside the file; the sizes are the entry's block sizes.
    std::vector<uint8_t> gps_buffer_;
    std::vector<uint8_t> gsen_buffer_;
    std::vector<GSensorRecord> gsen_samples_;
    size_t gsen_size_ = 0;
    double gps_rate_ = 1.0;
};

// True when next starts where previous ends (within 2 s either way): the
// two belong to one group.
bool FollowsInTime(const ClipInfo& previous, const ClipInfo& next);

// True when the name passes the scan's name filter: characters 0-3 letters,
// digits, "_" or "-", at least 8 characters, 4-7 digits, ending in ".MOV" or
// ".AVI" (upper case).
bool IsRecordingName(const std::string& name);

// The file list's type rule: "Event", "Manual" or "Normal".
const char* ClipTypeName(const std::string& file_name);

}  // namespace orvo
