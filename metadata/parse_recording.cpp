#include "metadata/parse_recording.h"

#include "metadata/qor_3gp_parser.h"
#include "metadata/qor_avi_parser.h"

namespace orvo {

bool IsAviPath(const std::filesystem::path& path) {
    return path.native().ends_with(".AVI");
}

std::unique_ptr<CQorVideoParser> MakeParserFor(const std::filesystem::path& path) {
    if (IsAviPath(path)) return std::make_unique<CQorAviParser>();
    return std::make_unique<CQor3gpParser>();
}

int ParseRecording(const std::filesystem::path& path, ClipInfo* info) {
    if (info != nullptr) *info = ClipInfo{};
    // Parsers on the stack: this runs once per file of a card.
    if (IsAviPath(path)) {
        CQorAviParser parser;
        parser.SetInfoTarget(info);
        return parser.Parse(path);
    }
    CQor3gpParser parser;
    parser.SetInfoTarget(info);
    return parser.Parse(path);
}

}  // namespace orvo
