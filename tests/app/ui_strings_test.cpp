#include "app/ui_strings.h"

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

#include "app/qor_settings.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

// Ids 101..164 and 179..199.
std::set<int> ExpectedIds() {
    std::set<int> ids;
    for (int id = 101; id <= 199; ++id) {
        if (id < 165 || id > 178) ids.insert(id);
    }
    return ids;
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

bool IsValidUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80           ? 1
                   : (c >> 5) == 0x6  ? 2
                   : (c >> 4) == 0xE  ? 3
                   : (c >> 3) == 0x1E ? 4
                                      : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n;
    }
    return true;
}

TEST(UiStringTablesTest, BothTablesHoldExactlyTheProgramsIdsSorted) {
    const std::set<int> expected = ExpectedIds();
    ASSERT_EQ(expected.size(), 85u);
    for (int language : {0, 1}) {
        std::span<const UiStringEntry> table = UiStringTable(language);
        std::vector<int> ids;
        for (const UiStringEntry& e : table) {
            ids.push_back(e.id);
            ASSERT_NE(e.text, nullptr) << e.id;
            EXPECT_FALSE(std::string(e.text).empty()) << "language " << language << " id " << e.id;
            EXPECT_TRUE(IsValidUtf8(e.text)) << e.id;
        }
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end())) << "language " << language;
        EXPECT_EQ(std::set<int>(ids.begin(), ids.end()), expected) << "language " << language;
        EXPECT_EQ(ids.size(), expected.size()) << "duplicate ids in language " << language;
    }
    EXPECT_TRUE(UiStringTable(2).empty());
    EXPECT_TRUE(UiStringTable(-1).empty());
}

TEST(UiStringTablesTest, FormatPlaceholdersAndAccessKeysKept) {
    for (int id : ExpectedIds()) {
        std::string en = LoadUiStringFor(0, id);
        std::string ja = LoadUiStringFor(1, id);
        bool is_format = id == 125 || id == 126 || id == 141;
        // A "%" other than the one "%s" would break the caller's formatting.
        EXPECT_EQ(CountOf(en, "%"), is_format ? 1u : 0u) << id;
        EXPECT_EQ(CountOf(ja, "%"), is_format ? 1u : 0u) << id;
        EXPECT_EQ(CountOf(ja, "%s"), CountOf(en, "%s")) << id;
        EXPECT_EQ(CountOf(ja, "&"), CountOf(en, "&")) << id;
    }
    for (int id : {159, 160, 161, 162}) {
        std::string en = LoadUiStringFor(0, id);
        std::string key = en.substr(en.size() - 3);  // "(F)" and so on
        EXPECT_TRUE(LoadUiStringFor(1, id).ends_with(key)) << id;
    }
}

TEST(UiStringTablesTest, JapaneseTableIsTranslated) {
    std::set<int> same;
    for (int id : ExpectedIds()) {
        if (LoadUiStringFor(0, id) == LoadUiStringFor(1, id)) same.insert(id);
    }
    EXPECT_EQ(same, (std::set<int>{107, 121, 145}));  // "OK", "ID", "OK"
    EXPECT_EQ(LoadUiStringFor(1, 131), "警告");
    EXPECT_EQ(LoadUiStringFor(1, 108), "キャンセル");
}

TEST(UiStringTablesTest, EnglishTextsAreTheProgramsOwn) {
    struct Row {
        int id;
        const char* text;
    };
    const Row rows[] = {
        {101, "&About QOR..."},
        {102, "Media player encountered a error."},
        {125, "Save KML file: %s OK."},
        {126, "Save KML file:%s Failed."},
        {132, "Folder is not exist."},
        {135, "No seletected files. Please select some files and try this operation again."},
        {141, "File \"%s\" is already exist. Are you sure to overwrite it?"},
        {164, "Show information"},
        {179, "Open files"},
        {199, "Change Speed Unit KPH/MPH."},
    };
    for (const Row& r : rows) EXPECT_EQ(LoadUiStringFor(0, r.id), r.text) << r.id;
}

TEST(UiStringTablesTest, UnknownIdsAreEmpty) {
    for (int id : {-1, 0, 100, 165, 170, 178, 61440}) {
        EXPECT_EQ(LoadUiStringFor(0, id), "") << id;
        EXPECT_EQ(LoadUiStringFor(1, id), "") << id;
        EXPECT_EQ(LookupUiString(UiStringTable(0), UiStringTable(1), id), "") << id;
    }
    EXPECT_EQ(LoadUiStringFor(5, 104), "");
}

TEST(LookupUiStringTest, FallsBackWhenMissingOrEmpty) {
    const UiStringEntry current[] = {{104, "Select a media"}, {105, ""}, {130, nullptr}};
    const UiStringEntry fallback[] = {
        {104, "メディアの選択"}, {105, "Google マップ"}, {130, "フォルダーの選択"}, {131, "警告"}};
    EXPECT_EQ(LookupUiString(current, fallback, 104), "Select a media");
    EXPECT_EQ(LookupUiString(current, fallback, 105), "Google マップ");
    EXPECT_EQ(LookupUiString(current, fallback, 130), "フォルダーの選択");
    EXPECT_EQ(LookupUiString(current, fallback, 131), "警告");
    EXPECT_EQ(LookupUiString(current, fallback, 132), "");
    EXPECT_EQ(LookupUiString({}, fallback, 131), "警告");
}

// Sets the locale variables for one case and restores them afterwards.
class LocaleEnv {
public:
    LocaleEnv(const char* lc_all, const char* lc_messages, const char* lang) {
        for (int i = 0; i < 3; ++i) {
            const char* old = std::getenv(kNames[i]);
            saved_[i] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        Set(0, lc_all);
        Set(1, lc_messages);
        Set(2, lang);
    }
    ~LocaleEnv() {
        for (int i = 0; i < 3; ++i) Set(i, saved_[i] ? saved_[i]->c_str() : nullptr);
    }

private:
    static void Set(int i, const char* value) {
        if (value)
            ::setenv(kNames[i], value, 1);
        else
            ::unsetenv(kNames[i]);
    }
    static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::optional<std::string> saved_[3];
};

TEST(DefaultLanguageStringTest, LocalePicksTheTable) {
    struct Case {
        const char* lc_all;
        const char* lc_messages;
        const char* lang;
        int expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, 0},
        {nullptr, nullptr, "ja_JP.UTF-8", 1},
        {nullptr, nullptr, "en_US.UTF-8", 0},
        {nullptr, "ja_JP", "en_US.UTF-8", 1},
        {"C", "ja_JP", "ja_JP", 0},
        {"ja_JP.eucJP", nullptr, "en_GB", 1},
        {"", "", "ja", 1},
        {nullptr, nullptr, "C", 0},
        {nullptr, nullptr, "JA_JP", 0},
    };
    for (const Case& c : cases) {
        LocaleEnv env(c.lc_all, c.lc_messages, c.lang);
        EXPECT_EQ(DefaultLanguageIndex(), c.expected)
            << (c.lc_all ? c.lc_all : "-") << " " << (c.lc_messages ? c.lc_messages : "-") << " "
            << (c.lang ? c.lang : "-");
        EXPECT_EQ(LoadDefaultLanguageString(102), LoadUiStringFor(c.expected, 102));
    }
    LocaleEnv english(nullptr, nullptr, "en_US.UTF-8");
    EXPECT_EQ(LoadDefaultLanguageString(101), "&About QOR...");
    EXPECT_EQ(LoadDefaultLanguageString(102), "Media player encountered a error.");
}

// The process-wide settings object reads "Qor.ini" in the working directory
// at first use; LoadUiString follows its language.
TEST(LoadUiStringTest, FollowsTheCurrentLanguage) {
    test_support::TempFolder folder;
    const fs::path dir = folder.path();
    fs::path old_cwd = fs::current_path();
    {
        std::ofstream out(dir / "Qor.ini");
        out << "[UI]\nLANGID=ENG\n";
    }
    fs::current_path(dir);
    CQorSettings& settings = CQorSettings::Instance();
    fs::current_path(old_cwd);

    EXPECT_EQ(settings.path(), dir / "Qor.ini");
    EXPECT_EQ(&settings, &CQorSettings::Instance());
    ASSERT_EQ(settings.language_index(), 0);
    EXPECT_EQ(LoadUiString(104), "Select a media");
    EXPECT_EQ(LoadUiString(170), "");

    ASSERT_TRUE(settings.SetLanguage(1));
    EXPECT_EQ(LoadUiString(104), LoadUiStringFor(1, 104));
    EXPECT_NE(LoadUiString(104), "Select a media");
    EXPECT_EQ(LoadUiString(170), "");

    ASSERT_TRUE(settings.SetLanguage(0));
    EXPECT_EQ(LoadUiString(131), "Warning");
}

TEST(UiStringTablesTest, FeatureTablesSortedTranslatedAndFoundByTheLoader) {
    for (int language : {0, 1}) {
        std::vector<int> ids;
        for (const UiStringEntry& e : FeatureUiStringTable(language)) {
            ids.push_back(e.id);
            EXPECT_GE(e.id, 200);
            EXPECT_TRUE(IsValidUtf8(e.text)) << e.id;
            EXPECT_EQ(LoadUiStringFor(language, e.id), e.text) << e.id;
        }
        EXPECT_TRUE(std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<int>()) ==
                    ids.end())
            << "feature table of language " << language << " not strictly sorted";
    }
    std::vector<int> english, japanese;
    for (const UiStringEntry& e : FeatureUiStringTable(0)) english.push_back(e.id);
    for (const UiStringEntry& e : FeatureUiStringTable(1)) japanese.push_back(e.id);
    EXPECT_EQ(english, japanese) << "every new text needs both languages";
}

}  // namespace
}  // namespace orvo
