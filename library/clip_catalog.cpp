#include "library/clip_catalog.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <string_view>

#include "library/list_row_text.h"
#include "library/number_text.h"
#include "library/picture_size_name.h"
#include "metadata/parse_recording.h"

namespace orvo {

namespace {

// Deepest folder nesting the scan descends into (open folders on its stack,
// the root included).
constexpr size_t kMaxScanDepth = 40;

// Index of the GPS record shown last, shared by every clip and never reset:
// a new clip whose first index equals it skips that one update.
int64_t g_last_gps_index = 0;

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// The read-only attribute: no write permission for the owner. A failed
// query counts as read-only.
bool IsReadOnly(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return true;
    return (st.st_mode & S_IWUSR) == 0;
}

// The same for a name in an open folder (no walk of the whole path).
bool IsReadOnlyAt(int dir_fd, const std::string& name) {
    struct stat st;
    if (::fstatat(dir_fd, name.c_str(), &st, 0) != 0) return true;
    return (st.st_mode & S_IWUSR) == 0;
}

uint8_t NameFlags(const std::string& file_name) {
    return (file_name.size() > 3 && file_name[3] == 'G') ? kClipLocked : 0;
}

std::string_view TimeKey(const std::string& file_name) {
    std::string_view name(file_name);
    if (name.size() <= 4) return {};
    return name.substr(4, 13);
}

std::string PlotScript(const char* function, const GeoPosition& position) {
    std::string text(function);
    text += '(';
    text += FormatFixed6(position.latitude);
    text += ',';
    text += FormatFixed6(position.longitude);
    text += ')';
    return text;
}

}  // namespace

bool IsRecordingName(const std::string& name) {
    if (name.size() < 8) return false;
    for (int i = 0; i < 4; ++i) {
        if (!IsNameChar(name[i])) return false;
    }
    for (int i = 4; i < 8; ++i) {
        if (!IsDigit(name[i])) return false;
    }
    return EndsWith(name, ".MOV") || EndsWith(name, ".AVI");
}

const char* ClipTypeName(const std::string& file_name) {
    // The English names of the type column's strings; the rule is the list's.
    switch (FileTypeStringId(file_name)) {
        case kTypeEventStringId:
            return "Event";
        case kTypeManualStringId:
            return "Manual";
        default:
            return "Normal";
    }
}

int64_t CClipCatalog::LastGpsIndex() {
    return g_last_gps_index;
}

int CClipCatalog::Bind(IFileListView* file_list, IGSensorView* gsensor, IMapView* map,
                       ITelemetryPanel* main_window) {
    file_list_ = file_list;
    gsensor_ = gsensor;
    map_ = map;
    main_window_ = main_window;
    entries_.clear();
    groups_.clear();
    rows_.clear();
    selected_ = -1;
    selected_group_ = 0;
    return 1;
}

int CClipCatalog::Reset() {
    entries_.clear();
    skipped_.clear();
    groups_.clear();
    rows_.clear();
    selected_ = -1;
    ClearViews();
    if (gsensor_ != nullptr) {
        gsensor_->ClearSamples();
        gsensor_->Repaint();
    }
    return 1;
}

void CClipCatalog::ClearViews() {
    if (group_list_ != nullptr) group_list_->DeleteAllItems();
    if (file_list_ != nullptr) file_list_->DeleteAllItems();
}

int CClipCatalog::Load(const std::string& folder, const std::string& file_name) {
    Reset();
    if (gsensor_ != nullptr) gsensor_->Repaint();

    if (file_name.empty()) {
        visited_ = 0;
        struct stat st;
        if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return 0;
        }
        ScanFolder(WithTrailingSlash(folder));
    } else {
        const std::string root = WithTrailingSlash(folder);
        const std::string path = root + file_name;
        struct stat st;
        if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return 0;
        ClipEntry entry;
        entry.rootFolder = root;
        entry.fileName = file_name;
        entry.flags = NameFlags(file_name);
        if (IsReadOnly(path)) entry.flags |= kClipReadOnly;
        if (ParseRecording(FullPathOf(entry), &entry.info) == 0) {
            entries_.push_back(std::move(entry));
        } else {
            skipped_.push_back(DiagnoseRecordingFile(path));
        }
    }

    if (!entries_.empty()) {
        Sort(false, true);
        Regroup();
    }
    return 1;
}

std::string CClipCatalog::FullPathOf(const ClipEntry& entry) {
    return entry.rootFolder + "/" + entry.subFolder + "/" + entry.fileName;
}

void CClipCatalog::ScanFolder(const std::string& root) {
    // Depth-first walk with an explicit stack of open folders; each level
    // keeps its handle and its path relative to the root ("" or "A/B/").
    struct Level {
        DIR* dir;
        std::string sub_folder;
    };
    std::vector<Level> stack;
    DIR* top = ::opendir(root.c_str());
    if (top == nullptr) return;
    stack.push_back({top, std::string()});

    while (!stack.empty()) {
        Level& level = stack.back();
        errno = 0;
        const dirent* item = ::readdir(level.dir);
        if (item == nullptr) {
            ::closedir(level.dir);
            stack.pop_back();
            continue;
        }
        const std::string name(item->d_name);
        if (name == "." || name == "..") continue;
        // Hidden entries start with "."; anything that is neither a regular
        // file nor a folder (links, devices, sockets) counts as a system
        // entry. Both are skipped.
        if (name[0] == '.') continue;
        unsigned char type = item->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st;
            const std::string path = root + level.sub_folder + name;
            if (::lstat(path.c_str(), &st) != 0) continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_LNK;
        }
        if (type == DT_DIR) {
            if (stack.size() >= kMaxScanDepth) continue;
            std::string sub = level.sub_folder + name + "/";
            DIR* child = ::opendir((root + sub).c_str());
            if (child != nullptr) stack.push_back({child, std::move(sub)});
        } else if (type == DT_REG) {
            AddFile(root, level.sub_folder, name, ::dirfd(level.dir));
        } else if (IsRecordingName(name)) {
            // Something else under a recording's name (a FIFO, a link): not
            // opened, but the user hears that it was left out.
            skipped_.push_back({root + level.sub_folder + name, SkipReason::kNotRegularFile, 0});
        }
    }
}

void CClipCatalog::AddFile(const std::string& root, const std::string& sub_folder,
                           const std::string& file_name, int dir_fd) {
    if (IsRecordingName(file_name)) {
        ClipEntry entry;
        entry.rootFolder = root;
        entry.subFolder = sub_folder;
        entry.fileName = file_name;
        const std::string path = FullPathOf(entry);
        entry.flags = NameFlags(file_name);
        if (IsReadOnlyAt(dir_fd, file_name)) entry.flags |= kClipReadOnly;
        if (ParseRecording(path, &entry.info) == 0) {
            entries_.push_back(std::move(entry));
        } else {
            skipped_.push_back(DiagnoseRecordingFile(path));
        }
    }
    if (scan_counter_ != nullptr) scan_counter_->SetScanCount(visited_);
    ++visited_;
}

bool FollowsInTime(const ClipInfo& previous, const ClipInfo& next) {
    const int64_t expected = previous.startTime + previous.lengthSeconds;
    return next.startTime >= expected - 2 && next.startTime <= expected + 2;
}

int CClipCatalog::Regroup() {
    groups_.clear();
    rows_.clear();
    if (!entries_.empty()) entries_[0].groupStart = 1;
    for (size_t i = 1; i < entries_.size(); ++i) {
        if (!FollowsInTime(entries_[i - 1].info, entries_[i].info)) entries_[i].groupStart = 1;
    }
    BuildGroups();
    FillViews();
    return 1;
}

void CClipCatalog::BuildGroups() {
    groups_.clear();
    rows_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) {
        const ClipEntry& entry = entries_[i];
        if (i == 0 || entry.groupStart != 0) {
            ClipGroup group;
            group.index = static_cast<int32_t>(groups_.size());
            group.first = static_cast<int32_t>(i);
            groups_.push_back(group);
        }
        ClipGroup& group = groups_.back();
        ClipRow row;
        row.group = group.index;
        row.indexInGroup = group.count;
        row.entry = static_cast<int32_t>(i);
        row.fileSize = entry.info.fileSize;
        row.durationMs = entry.info.durationMs;
        rows_.push_back(row);
        group.totalSize += entry.info.fileSize;
        group.totalDurationMs += entry.info.durationMs;
        group.count += 1;
        group.flags |= entry.flags;
    }
}

void CClipCatalog::FillViews() {
    if (group_list_ != nullptr) {
        for (const ClipGroup& group : groups_) {
            const ClipEntry& first = entries_[group.first];
            group_list_->AddGroup(group.index, PictureSizeName(first.info.height, first.info.width),
                                  group.totalDurationMs, group.totalSize, group.flags,
                                  first.info.startTime);
        }
    }
    FillFileList();
}

void CClipCatalog::FillFileList() {
    if (file_list_ == nullptr) return;
    for (size_t i = 0; i < rows_.size(); ++i) {
        const ClipEntry& entry = entries_[rows_[i].entry];
        file_list_->AddFile(rows_[i].entry, entry.rootFolder + entry.subFolder, entry.fileName,
                            entry.info);
        if (entry.ticked) file_list_->SetRowTicked(static_cast<int>(i), true);
    }
}

int CClipCatalog::Sort(bool by_name, bool ascending) {
    ClearMarks();
    auto less = [by_name](const ClipEntry& a, const ClipEntry& b) {
        if (by_name) return a.fileName < b.fileName;
        return TimeKey(a.fileName) < TimeKey(b.fileName);
    };
    if (ascending) {
        std::sort(entries_.begin(), entries_.end(), less);
    } else {
        std::sort(entries_.begin(), entries_.end(),
                  [&less](const ClipEntry& a, const ClipEntry& b) { return less(b, a); });
    }
    BuildGroups();
    selected_ = -1;
    return 1;
}

void CClipCatalog::ClearMarks() {
    if (group_list_ != nullptr && selected_group_ >= 0 &&
        selected_group_ < static_cast<int>(groups_.size())) {
        group_list_->SetRowMarked(selected_group_, false);
    }
    if (file_list_ != nullptr && selected_ >= 0 && selected_ < static_cast<int>(rows_.size())) {
        file_list_->SetRowMarked(selected_, false);
    }
}

int CClipCatalog::SelectFile(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return 0;
    ClearMarks();
    selected_ = index;
    selected_group_ = GroupOfSelected();
    if (group_list_ != nullptr && selected_group_ >= 0) {
        group_list_->SetRowMarked(selected_group_, true);
        group_list_->EnsureRowVisible(selected_group_);
    }
    if (file_list_ != nullptr) {
        file_list_->SetRowMarked(selected_, true);
        file_list_->EnsureRowVisible(selected_);
    }
    return 1;
}

int CClipCatalog::SelectGroup(int group) {
    if (group < 0 || group >= static_cast<int>(groups_.size())) return 0;
    ClearMarks();
    selected_group_ = group;
    selected_ = groups_[group].first;
    if (group_list_ != nullptr) group_list_->SetRowMarked(selected_group_, true);
    if (file_list_ != nullptr) file_list_->SetRowMarked(selected_, true);
    return 1;
}

int CClipCatalog::GroupOfSelected() const {
    if (selected_ < 0) return -1;
    for (const ClipGroup& group : groups_) {
        if (group.first + group.count > selected_) return group.index;
    }
    return -1;
}

int CClipCatalog::SelectedIndex() {
    if (entries_.empty()) return -1;
    const int last = static_cast<int>(entries_.size()) - 1;
    if (selected_ > last) selected_ = last;
    return selected_;
}

std::string CClipCatalog::FullPath(int index) const {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return {};
    return FullPathOf(entries_[index]);
}

std::string CClipCatalog::SelectedPath() {
    return FullPath(SelectedIndex());
}

int CClipCatalog::SelectedPictureSize(int* width, int* height) {
    const int index = SelectedIndex();
    if (index < 0) return 0;
    if (width != nullptr) *width = entries_[index].info.width;
    if (height != nullptr) *height = entries_[index].info.height;
    return 1;
}

int CClipCatalog::ReadCheckMarks() {
    int any = 0;
    for (size_t g = 0; g < groups_.size(); ++g) {
        const bool checked =
            group_list_ != nullptr && group_list_->IsRowChecked(static_cast<int>(g));
        groups_[g].checked = checked ? 1 : 0;
        if (checked) any = 1;
    }
    return any;
}

bool CClipCatalog::ReadBlock(int fd, uint64_t file_length, uint64_t offset, uint32_t size,
                             std::vector<uint8_t>* buffer) {
    buffer->clear();
    if (size == 0 || offset > file_length || size > file_length - offset) return false;
    buffer->assign(size, 0);
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, buffer->data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    // A short read leaves the rest zero-filled: no fix, no samples.
    return true;
}

int CClipCatalog::SelectClip(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return 0;
    if (map_ != nullptr) {
        map_->RunScript("pathdrived_delete()");
        map_->RunScript("path_delete()");
    }
    const ClipEntry& entry = entries_[index];
    gps_buffer_.clear();
    gsen_buffer_.clear();
    gsen_samples_.clear();
    gsen_size_ = entry.info.gsenSize;
    selected_ = index;

    const int fd = OpenRecordingFile(FullPathOf(entry), &open_failure_);
    if (fd < 0) return 0;
    struct stat st;
    const uint64_t length = ::fstat(fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    if (gsensor_ != nullptr) gsensor_->ClearSamples();

    if (ReadBlock(fd, length, entry.info.gsenOffset, entry.info.gsenSize, &gsen_buffer_)) {
        gsen_samples_ = DecodeGSensorBlock(gsen_buffer_);
        if (gsensor_ != nullptr) {
            gsensor_->SetGain(entry.info.gRangeWord[1], 2.0);
            gsensor_->ClearSamples();
            gsensor_->SetSamples(gsen_samples_.data(), gsen_samples_.size());
            const double per_ms = entry.info.durationMs == 0
                                      ? 0.0
                                      : static_cast<double>(gsen_samples_.size()) /
                                            static_cast<double>(entry.info.durationMs);
            gsensor_->SetSamplesPerMs(per_ms);
        }
    }

    if (ReadBlock(fd, length, entry.info.gpsOffset, entry.info.gpsSize, &gps_buffer_)) {
        gps_rate_ = GpsRate(entry.info);
        if (map_ != nullptr) {
            for (const GpsRecord& record : DecodeGpsBlock(gps_buffer_)) {
                if (auto position = PositionOf(record)) {
                    map_->RunScript(PlotScript("path_plot", *position));
                }
            }
        }
    }
    ::close(fd);
    return 1;
}

std::vector<GpsRecord> CClipCatalog::GpsRecords() const {
    return DecodeGpsBlock(gps_buffer_);
}

void CClipCatalog::ResetDisplays() {
    if (main_window_ == nullptr) return;
    main_window_->ClearHeading();
    main_window_->SetSpeed(false, 0);
    if (gsensor_ != nullptr) gsensor_->SetSpeedReadout(false, 0);
}

int CClipCatalog::UpdateTelemetry(int64_t time_ms, bool refresh_graph, bool move_map) {
    const size_t count = GpsRecordCount(gps_buffer_.size());
    if (refresh_graph && gsensor_ != nullptr && gsen_size_ != 0) {
        gsensor_->SetCurvesHidden(false);
        gsensor_->Repaint();
        gsensor_->SetCursorTime(static_cast<double>(time_ms));
    }
    if (count == 0) {
        ResetDisplays();
        return 0;
    }
    // Truncated toward zero like the C conversion; a negative time has no
    // sample (it would index before the buffer).
    const double position = std::trunc(static_cast<double>(time_ms) * gps_rate_ / 1000.0);
    if (!(position >= 0.0) || position >= static_cast<double>(count)) {
        ResetDisplays();
        return 0;
    }
    const size_t index = static_cast<size_t>(position);
    const GpsRecord record = DecodeGpsRecord(std::span<const uint8_t, kGpsRecordSize>(
        gps_buffer_.data() + index * kGpsRecordSize, kGpsRecordSize));
    if ((record.flags & 1) == 0) {
        ResetDisplays();
        return 0;
    }
    if (index != 0 && static_cast<int64_t>(index) == g_last_gps_index) return 1;
    g_last_gps_index = static_cast<int64_t>(index);
    const int heading = record.heading * 2;
    if (main_window_ != nullptr) {
        main_window_->SetHeading(heading);
        main_window_->SetSpeed(true, record.speed);
        if (gsensor_ != nullptr) gsensor_->SetSpeedReadout(true, record.speed);
    }
    const double latitude = record.latitude / 100.0;
    const double longitude = record.longitude / 100.0;
    if (!(latitude < 200.0) || !(longitude < 200.0)) return 0;
    if (move_map && map_ != nullptr) map_->MoveMarker(latitude, longitude, heading);
    return 1;
}

void CClipCatalog::RedrawDrivenPath(int64_t time_ms) {
    if (map_ == nullptr) return;
    map_->RunScript("pathdrived_delete()");
    const std::vector<GpsRecord> records = DecodeGpsBlock(gps_buffer_);
    const double limit = std::trunc(static_cast<double>(time_ms) * gps_rate_ / 1000.0);
    size_t n = 0;
    if (limit > 0.0) {
        n = limit >= static_cast<double>(records.size()) ? records.size()
                                                         : static_cast<size_t>(limit);
    }
    for (size_t i = 0; i < n; ++i) {
        if (auto position = PositionOf(records[i])) {
            map_->RunScript(PlotScript("pathdrived_plot", *position));
        }
    }
}

}  // namespace orvo
