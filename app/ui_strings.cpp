#include "app/ui_strings.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "app/qor_settings.h"

namespace orvo {

namespace {

constexpr int kEnglishIndex = 0;
constexpr int kJapaneseIndex = 1;

const char* FindIn(std::span<const UiStringEntry> table, int id) {
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const UiStringEntry& e, int wanted) { return e.id < wanted; });
    if (it == table.end() || it->id != id || it->text == nullptr) return "";
    return it->text;
}

}  // namespace

std::span<const UiStringEntry> UiStringTable(int language_index) {
    switch (language_index) {
        case kEnglishIndex:
            return EnglishUiStrings();
        case kJapaneseIndex:
            return JapaneseUiStrings();
        default:
            return {};
    }
}

std::span<const UiStringEntry> UiStringTableFor(int language_index, int id) {
    return id >= 200 ? FeatureUiStringTable(language_index) : UiStringTable(language_index);
}

std::string LookupUiString(std::span<const UiStringEntry> current,
                           std::span<const UiStringEntry> fallback, int id) {
    std::string_view text = FindIn(current, id);
    if (text.empty()) text = FindIn(fallback, id);
    return std::string(text);
}

std::string LoadUiString(int id) {
    return LookupUiString(UiStringTableFor(CQorSettings::Instance().language_index(), id),
                          UiStringTableFor(kJapaneseIndex, id), id);
}

std::string LoadUiStringFor(int language_index, int id) {
    return FindIn(UiStringTableFor(language_index, id), id);
}

int DefaultLanguageIndex() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        return std::string_view(value).starts_with("ja") ? kJapaneseIndex : kEnglishIndex;
    }
    return kEnglishIndex;
}

std::string LoadDefaultLanguageString(int id) {
    return LoadUiStringFor(DefaultLanguageIndex(), id);
}

}  // namespace orvo
