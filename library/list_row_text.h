#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// Texts of the file list and group list rows, kept apart from the widgets so
// the rules can be checked without a display.

// Recording time from the camera's file name: characters 4-9 (yymmdd) and
// 11-16 (hhmmss) as "20yy-mm-dd hh:mm:ss". A name too short to hold all of
// them gives an empty text rather than reading past its end.
std::string FileTimeText(std::string_view file_name);

// String id of the type column: 153 "Event" for names starting with "EMER",
// 154 "Manual" for "MANU", otherwise 155 "Normal" (case-sensitive, position 0).
int FileTypeStringId(std::string_view file_name);

inline constexpr int kTypeEventStringId = 153;
inline constexpr int kTypeManualStringId = 154;
inline constexpr int kTypeNormalStringId = 155;

// A file-list cell's tooltip: the cell's whole text (empty when the column
// shows all of it) and the row's note, a blank line apart; empty when both
// are.
std::string RowToolTipText(std::string_view cell_text, std::string_view row_note);

// Group row texts: " <seconds> s " from milliseconds, " <MiB> MB" from bytes,
// and the start time as local "YYYY-mm-dd HH:MM:SS" (empty when the time
// cannot be converted).
std::string GroupDurationText(uint64_t total_duration_ms);
std::string GroupSizeText(uint64_t total_size_bytes);
std::string GroupStartTimeText(int64_t start_time);

}  // namespace orvo
