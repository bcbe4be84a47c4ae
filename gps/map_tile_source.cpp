#include "gps/map_tile_source.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace orvo {

namespace {

// A JSON string literal, which is also a valid script string literal.
void AppendQuoted(std::string* out, std::string_view text) {
    out->push_back('"');
    for (const char c : text) {
        switch (c) {
            case '"':
                *out += "\\\"";
                break;
            case '\\':
                *out += "\\\\";
                break;
            case '\n':
                *out += "\\n";
                break;
            case '\r':
                *out += "\\r";
                break;
            case '\t':
                *out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    *out += escaped;
                } else {
                    out->push_back(c);
                }
        }
    }
    out->push_back('"');
}

// Shortest text that reads back as the same double; never a comma.
void AppendNumber(std::string* out, double value) {
    if (!std::isfinite(value)) value = 0;
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out->append(buffer.data(), result.ptr);
}

void AppendField(std::string* out, const char* name) {
    if (out->back() != '{') out->push_back(',');
    AppendQuoted(out, name);
    out->push_back(':');
}

}  // namespace

std::string StripMarkup(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '<') {
            out.push_back(text[i]);
            continue;
        }
        const size_t end = text.find('>', i);
        if (end == std::string_view::npos) {
            out += "&lt;";
        } else {
            i = end;
        }
    }
    return out;
}

MapTileSource OnlineTileSource(const std::string& url_template, const std::string& attribution) {
    MapTileSource source;
    source.kind = MapTileSource::Kind::kOnline;
    source.url = url_template;
    source.attribution = StripMarkup(attribution);
    return source;
}

MapTileSource FileTileSource(const MbtilesInfo& info, int generation) {
    MapTileSource source;
    source.kind = MapTileSource::Kind::kFile;
    source.url = std::string(kMapTileScheme) + ":/" + std::to_string(generation) + "/{z}/{x}/{y}";
    source.attribution = StripMarkup(info.attribution.empty() ? info.name : info.attribution);
    source.bounds = info.bounds;
    source.min_zoom = info.min_zoom;
    source.max_zoom = info.max_zoom;
    return source;
}

std::string TileSourceScript(const MapTileSource& source) {
    std::string out = "window.orvoTileSource = {";
    const bool file = source.kind == MapTileSource::Kind::kFile;
    AppendField(&out, "kind");
    AppendQuoted(&out, file ? "file" : "online");
    AppendField(&out, "url");
    AppendQuoted(&out, source.url);
    AppendField(&out, "attribution");
    AppendQuoted(&out, source.attribution);
    if (file) {
        AppendField(&out, "bounds");
        out.push_back('[');
        AppendNumber(&out, source.bounds.south);
        out.push_back(',');
        AppendNumber(&out, source.bounds.west);
        out.push_back(',');
        AppendNumber(&out, source.bounds.north);
        out.push_back(',');
        AppendNumber(&out, source.bounds.east);
        out.push_back(']');
    }
    AppendField(&out, "minZoom");
    AppendNumber(&out, source.min_zoom);
    AppendField(&out, "maxZoom");
    AppendNumber(&out, source.max_zoom);
    out += "};";
    return out;
}

}  // namespace orvo
