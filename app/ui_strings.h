#pragma once

#include <span>
#include <string>

namespace orvo {

// One row of a compiled-in string table: id 101..199 and its UTF-8 text.
struct UiStringEntry {
    int id;
    const char* text;
};

// The two compiled-in tables, sorted by id.
std::span<const UiStringEntry> EnglishUiStrings();
std::span<const UiStringEntry> JapaneseUiStrings();

// The compiled-in table of a language index (0 = English, 1 = Japanese),
// sorted by id; empty for any other index.
std::span<const UiStringEntry> UiStringTable(int language_index);

// The same for the texts with ids from 200 up.
std::span<const UiStringEntry> FeatureUiStringTable(int language_index);

// The table that holds id for a language index: ids from 200 up live in the
// feature tables, 101..199 in the original ones.
std::span<const UiStringEntry> UiStringTableFor(int language_index, int id);

// The text of id in the current table, or in the fallback table when the
// current one lacks it or holds it empty; empty when neither has it.
std::string LookupUiString(std::span<const UiStringEntry> current,
                           std::span<const UiStringEntry> fallback, int id);

// The localised text of string id 101..199 (or 200 and up) in the current interface language
// (CQorSettings::Instance().language_index()), falling back to the Japanese
// table when the current one lacks it; empty when neither has it. UTF-8.
std::string LoadUiString(int id);

// Lookup in one table: language index 0 = English, 1 = Japanese.
std::string LoadUiStringFor(int language_index, int id);

// Ids 101 and 102 go through the platform's default language: Japanese when
// the user's locale (LC_ALL, LC_MESSAGES, LANG) starts with "ja", else English.
std::string LoadDefaultLanguageString(int id);

// The language index the user's locale selects: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty decides.
int DefaultLanguageIndex();

}  // namespace orvo
