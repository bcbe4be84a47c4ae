#pragma once

#include <string>

namespace orvo {

// The localised text of string id 101..199 in the current interface language
// (CQorSettings::Instance().language_index()), falling back to the Japanese
// table when the current one lacks it; empty when neither has it. UTF-8.
std::string LoadUiString(int id);

// Lookup in one table: language index 0 = English, 1 = Japanese.
std::string LoadUiStringFor(int language_index, int id);

// Ids 101 and 102 go through the platform's default language: Japanese when
// the user's locale (LC_ALL, LC_MESSAGES, LANG) starts with "ja", else English.
std::string LoadDefaultLanguageString(int id);

}  // namespace orvo
