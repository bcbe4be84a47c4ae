#include "app/ui_strings.h"

// Texts of the capabilities beyond the original window, ids 200 and up, one
// block per capability. Each table stays sorted by id; the loader falls back
// to the Japanese table as it does for 101..199.

namespace orvo {
namespace {

constexpr UiStringEntry kEnglish[] = {
    // 200..229: ticking, file-list menu, evidence package
    {200, "Play"},

    // 230..249: clip export

    // 250..269: keyboard, frame time, drag and drop, open dialog

    // 270..289: incidents and trips

    // 290..299: offline map

    // 300..319: damaged and changing cards, skipped files

    // 320..339: packaging, command line
};

constexpr UiStringEntry kJapanese[] = {
    // 200..229: ticking, file-list menu, evidence package
    {200, "再生"},

    // 230..249: clip export

    // 250..269: keyboard, frame time, drag and drop, open dialog

    // 270..289: incidents and trips

    // 290..299: offline map

    // 300..319: damaged and changing cards, skipped files

    // 320..339: packaging, command line
};

}  // namespace

std::span<const UiStringEntry> FeatureUiStringTable(int language_index) {
    switch (language_index) {
        case 0:
            return kEnglish;
        case 1:
            return kJapanese;
        default:
            return {};
    }
}

}  // namespace orvo
