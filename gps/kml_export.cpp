#include "gps/kml_export.h"

#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "library/clip_catalog.h"
#include "library/documents_folder.h"
#include "library/file_operations.h"
#include "library/number_text.h"

namespace orvo {

namespace {

void AppendReplacement(std::string* out) {
    *out += "\xEF\xBF\xBD";
}

// Length of the valid UTF-8 sequence at text[i], 0 when invalid (overlong
// forms, surrogates and values above U+10FFFF included).
size_t Utf8SequenceLength(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    size_t length = 0;
    uint32_t value = 0;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        value = c & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if ((length == 3 && value < 0x800) || (length == 4 && value < 0x10000) || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF) {
        return 0;
    }
    return length;
}

}  // namespace

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            AppendReplacement(&out);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            AppendReplacement(&out);
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(text.substr(i, length));
        } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            AppendReplacement(&out);
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '\'') {
            out += "&apos;";
        } else {
            out += static_cast<char>(c);
        }
        i += length;
    }
    return out;
}

std::string FormatLocalTime(int64_t time, const char* format) {
    const time_t t = static_cast<time_t>(time);
    tm local{};
    if (::localtime_r(&t, &local) == nullptr) return {};
    char buf[128];
    // The formats are the callers' literals.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const size_t n = std::strftime(buf, sizeof buf, format, &local);
#pragma GCC diagnostic pop
    return std::string(buf, n);
}

std::string KmlFolder() {
    std::string documents = DocumentsFolder();
    if (documents.empty()) return {};
    if (documents.back() != '/') documents += '/';
    const std::string folder = documents + "QOR/KML/";
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) MakeFolderTree(folder);
    return folder;
}

std::string KmlFileName(const std::string& file_name, int64_t start_time) {
    const std::string stem =
        file_name.size() >= 4 ? file_name.substr(0, file_name.size() - 4) : std::string();
    return stem + FormatLocalTime(start_time, "_%Y_%m_%d_%H-%M-%S") + ".KML";
}

std::string KmlDocument(const std::string& file_name, const std::string& sub_folder,
                        int64_t start_time, std::span<const GpsRecord> records) {
    const std::string name = XmlEscape(file_name);
    std::string out;
    out.reserve(1024 + records.size() * 40);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n";
    out += "  <Document>\n";
    out += "    <name>" + name + "</name>\n";
    out += "\t<description></description>\n";
    out += "    <Style id=\"blueLine\">\n";
    out += "      <LineStyle>\n";
    out += "        <color>ffff0000</color>\n";
    out += "        <width>4</width>\n";
    out += "      </LineStyle>\n";
    out += "    </Style>\n";
    out += "    <Placemark>\n";
    out += "      <name>CAR PATH</name>\n";
    out += "      <description>GPS Path of Car DV \"" + XmlEscape(sub_folder) + "/" + name + "\"" +
           FormatLocalTime(start_time, " %Y/%m/%d %H:%M:%S") + "</description>\n";
    out += "      <styleUrl>#blueLine</styleUrl>\n";
    out += "      <LineString>\n";
    out += "        <altitudeMode>relative</altitudeMode>\n";
    out += "        <coordinates>\n";
    for (const GpsRecord& record : records) {
        const auto position = PositionOf(record);
        if (!position) continue;
        out += FormatFixed6(position->longitude);
        out += ',';
        out += FormatFixed6(position->latitude);
        out += ',';
        out += std::to_string(record.altitude);
        out += '\n';
    }
    out += "\n        </coordinates>\n";
    out += "      </LineString>\n";
    out += "    </Placemark>\n";
    out += "  </Document>\n";
    out += "</kml>\n";
    return out;
}

int ExportKml(CClipCatalog& catalog, const std::string& folder, std::string* path) {
    const int index = catalog.SelectedIndex();
    if (index < 0 || folder.empty()) return 0;
    const ClipEntry& entry = catalog.entries()[index];
    const std::string out_path = folder + KmlFileName(entry.fileName, entry.info.startTime);
    const std::vector<GpsRecord> records = catalog.GpsRecords();
    const std::string content =
        KmlDocument(entry.fileName, entry.subFolder, entry.info.startTime, records);
    if (!WriteFileAtomically(out_path, content)) return 0;
    if (path != nullptr) *path = out_path;
    return 1;
}

}  // namespace orvo
