#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "metadata/telemetry.h"

namespace orvo {

class CClipCatalog;

// The KML output folder: the documents folder + "/QOR/KML/", created with
// every missing parent when it does not exist. Empty when the documents
// folder cannot be determined.
std::string KmlFolder();

// recording name without its extension + "_%Y_%m_%d_%H-%M-%S" of the local
// start time + ".KML".
std::string KmlFileName(const std::string& file_name, int64_t start_time);

// The whole KML document for one recording's GPS block: header with the
// names, one "lon,lat,alt" line per usable record in file order, footer.
std::string KmlDocument(const std::string& file_name, const std::string& sub_folder,
                        int64_t start_time, std::span<const GpsRecord> records);

// Writes the selected recording's loaded GPS track into folder (which should
// end in "/"). 1 and *path on success; 0 when nothing is selected, folder is
// empty, or the file cannot be written completely (no partial file remains
// under the real name).
int ExportKml(CClipCatalog& catalog, const std::string& folder, std::string* path);

// Text made safe for an XML text node or attribute value: &, <, >, " and '
// escaped; bytes that are not valid UTF-8 and control characters XML does
// not allow become U+FFFD.
std::string XmlEscape(std::string_view text);

// The text with every byte that is not part of valid UTF-8 replaced by
// U+FFFD.
std::string ValidUtf8(std::string_view text);

// strftime of a time in local time; empty when the time cannot be converted.
std::string FormatLocalTime(int64_t time, const char* format);

}  // namespace orvo
