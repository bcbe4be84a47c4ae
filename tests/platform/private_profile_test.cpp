#include "platform/private_profile.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override { ini_ = dir_ / "Qor.ini"; }

    void Put(const std::string& text) { Put(ini_, text); }
    static void Put(const fs::path& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    std::string Contents() const { return Contents(ini_); }
    static std::string Contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Anything but the settings file left in the folder (temporary files).
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            if (entry.path().filename() != "Qor.ini") names.push_back(entry.path().filename());
        }
        return names;
    }

    test_support::TempFolder folder_;
    fs::path dir_ = folder_.path();
    fs::path ini_;
};

struct ReadCase {
    const char* name;
    const char* file;  // nullptr = no file
    const char* section;
    const char* key;
    const char* expected;  // with default "DEF"
};

class PrivateProfileReadTest : public PrivateProfileTest,
                               public ::testing::WithParamInterface<ReadCase> {};

TEST_P(PrivateProfileReadTest, FindsValueOrDefault) {
    const ReadCase& c = GetParam();
    if (c.file != nullptr) Put(c.file);
    PrivateProfile profile(ini_);
    EXPECT_EQ(profile.GetString(c.section, c.key, "DEF"), c.expected);
}

const ReadCase kReadCases[] = {
    {"NoFile", nullptr, "UI", "LANGID", "DEF"},
    {"EmptyFile", "", "UI", "LANGID", "DEF"},
    {"Plain", "[UI]\nLANGID=JPN\n", "UI", "LANGID", "JPN"},
    {"SectionCaseInsensitive", "[ui]\nLANGID=JPN\n", "UI", "LANGID", "JPN"},
    {"KeyCaseInsensitive", "[UI]\nlangid=JPN\n", "UI", "LangId", "JPN"},
    {"ValueCaseKept", "[UI]\nLANGID=jpn\n", "UI", "LANGID", "jpn"},
    {"AbsentSection", "[WINPOS]\nLANGID=JPN\n", "UI", "LANGID", "DEF"},
    {"AbsentKey", "[UI]\nFolder=/x\n", "UI", "LANGID", "DEF"},
    {"KeyInOtherSection", "[UI]\n[WINPOS]\nLEFT=5\n", "UI", "LEFT", "DEF"},
    {"KeyBeforeAnySection", "LANGID=JPN\n[UI]\n", "UI", "LANGID", "DEF"},
    {"BlanksAroundNameAndValue", "[ UI ]\n  LANGID  =  JPN  \n", "UI", "LANGID", "JPN"},
    {"EmptyValueIsNotDefault", "[UI]\nLANGID=\n", "UI", "LANGID", ""},
    {"QuotedValue", "[UI]\nFolder=\"/a b\"\n", "UI", "Folder", "/a b"},
    {"EqualsInValue", "[UI]\nFolder=a=b\n", "UI", "Folder", "a=b"},
    {"FirstDuplicateWins", "[UI]\nLANGID=ENG\nLANGID=JPN\n", "UI", "LANGID", "ENG"},
    {"CommentedOut", "[UI]\n;LANGID=JPN\n", "UI", "LANGID", "DEF"},
    {"CrLfLines", "[UI]\r\nLANGID=JPN\r\n", "UI", "LANGID", "JPN"},
    {"Utf8Bom", "\xEF\xBB\xBF[UI]\nLANGID=JPN\n", "UI", "LANGID", "JPN"},
    {"NoFinalNewline", "[UI]\nLANGID=JPN", "UI", "LANGID", "JPN"},
    {"GarbageLines", "\x01\x02\xff\n[UI\n=x\n]]]\n[UI]\nnoequals\nLANGID=JPN\n", "UI", "LANGID",
     "JPN"},
    {"UnclosedSectionIsNotASection", "[UI]\n[WINPOS\nLANGID=JPN\n", "UI", "LANGID", "JPN"},
};

INSTANTIATE_TEST_SUITE_P(Cases, PrivateProfileReadTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct IntCase {
    const char* text;
    int expected;
};

TEST(ParseProfileIntTest, ReadsLikeAtoi) {
    const IntCase cases[] = {
        {"12", 12},
        {"  12", 12},
        {"\t-50", -50},
        {"+7", 7},
        {"12abc", 12},
        {"1 2", 1},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"- 5", 0},
        {"0x10", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
    };
    for (const IntCase& c : cases) EXPECT_EQ(ParseProfileInt(c.text), c.expected) << c.text;
}

TEST_F(PrivateProfileTest, GetIntDefaultsOnlyWhenAbsent) {
    Put("[WINPOS]\nLEFT=-50\nTOP=\nRIGHT=wide\nBOTTOM= 400px\n");
    PrivateProfile profile(ini_);
    EXPECT_EQ(profile.GetInt("winpos", "left", 7), -50);
    EXPECT_EQ(profile.GetInt("WINPOS", "TOP", 7), 0);
    EXPECT_EQ(profile.GetInt("WINPOS", "RIGHT", 7), 0);
    EXPECT_EQ(profile.GetInt("WINPOS", "BOTTOM", 7), 400);
    EXPECT_EQ(profile.GetInt("WINPOS", "MAXSCREEN", 7), 7);
}

TEST_F(PrivateProfileTest, MaxCharsCutsWholeCharacters) {
    Put("[UI]\nA=abcdef\nB=日本語\n");
    PrivateProfile profile(ini_);
    EXPECT_EQ(profile.GetString("UI", "A", "", 3), "abc");
    EXPECT_EQ(profile.GetString("UI", "B", "", 2), "日本");
    EXPECT_EQ(profile.GetString("UI", "B", "", 0), "日本語");
    EXPECT_EQ(profile.GetString("UI", "X", "defaultvalue", 7), "default");
}

TEST_F(PrivateProfileTest, WriteKeepsForeignLinesAndComments) {
    const std::string before =
        "; settings of the viewer\n"
        "[Other]\n"
        "LANGID=keep-me\n"
        "\n"
        "[ui]\n"
        "; a comment inside the section\n"
        "langid=ENG\n"
        "Folder=/media/card\n"
        "\n"
        "[WINPOS]\n"
        "LEFT=10\n";
    Put(before);
    PrivateProfile profile(ini_);
    ASSERT_TRUE(profile.WriteString("UI", "LANGID", "JPN"));
    std::string expected = before;
    expected.replace(expected.find("langid=ENG"), 10, "LANGID=JPN");
    EXPECT_EQ(Contents(), expected);
    EXPECT_EQ(profile.GetString("Other", "LANGID", ""), "keep-me");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PrivateProfileTest, NewKeyGoesAtTheEndOfItsSection) {
    Put("[UI]\nLANGID=ENG\n\n[WINPOS]\nLEFT=10\n");
    PrivateProfile profile(ini_);
    ASSERT_TRUE(profile.WriteInt("UI", "MAP", 0));
    ASSERT_TRUE(profile.WriteInt("WINPOS", "TOP", -20));
    EXPECT_EQ(Contents(), "[UI]\nLANGID=ENG\nMAP=0\n\n[WINPOS]\nLEFT=10\nTOP=-20\n");
}

TEST_F(PrivateProfileTest, WriteCreatesFileAndSection) {
    PrivateProfile profile(ini_);
    ASSERT_TRUE(profile.WriteInt("WINPOS", "MAXSCREEN", 1));
    ASSERT_TRUE(profile.WriteString("UI", "LANGID", "JPN"));
    EXPECT_EQ(Contents(), "[WINPOS]\nMAXSCREEN=1\n[UI]\nLANGID=JPN\n");
    EXPECT_EQ(profile.GetInt("WINPOS", "MAXSCREEN", 0), 1);
    struct stat st {};
    ASSERT_EQ(::stat(ini_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(PrivateProfileTest, CrLfFileStaysCrLf) {
    Put("[UI]\r\nLANGID=ENG\r\n");
    PrivateProfile profile(ini_);
    ASSERT_TRUE(profile.WriteString("UI", "LANGID", "JPN"));
    ASSERT_TRUE(profile.WriteInt("WINPOS", "LEFT", 3));
    EXPECT_EQ(Contents(), "[UI]\r\nLANGID=JPN\r\n[WINPOS]\r\nLEFT=3\r\n");
}

TEST_F(PrivateProfileTest, WriteKeepsFileMode) {
    Put("[UI]\nLANGID=ENG\n");
    ::chmod(ini_.c_str(), 0600);
    PrivateProfile profile(ini_);
    ASSERT_TRUE(profile.WriteString("UI", "LANGID", "JPN"));
    struct stat st {};
    ASSERT_EQ(::stat(ini_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(PrivateProfileTest, WriteThroughSymlinkUpdatesTarget) {
    fs::path real = dir_ / "real.ini";
    Put(real, "[UI]\nLANGID=ENG\n");
    fs::create_symlink(real, ini_);
    PrivateProfile profile(ini_);
    ASSERT_TRUE(profile.WriteString("UI", "LANGID", "JPN"));
    EXPECT_TRUE(fs::is_symlink(ini_));
    EXPECT_EQ(Contents(real), "[UI]\nLANGID=JPN\n");
}

struct RefusedWrite {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
};

TEST_F(PrivateProfileTest, WritesThatWouldInjectLinesAreRefused) {
    const std::string before = "[UI]\nLANGID=ENG\n";
    const RefusedWrite cases[] = {
        {"value with LF", "UI", "Folder", "/a\n[WINPOS]\nMAXSCREEN=1"},
        {"value with CR", "UI", "Folder", "/a\rb"},
        {"value with NUL", "UI", "Folder", std::string("/a\0b", 4)},
        {"key with LF", "UI", "Fol\nder", "x"},
        {"key with =", "UI", "A=B", "x"},
        {"key as comment", "UI", ";A", "x"},
        {"key as section", "UI", "[A]", "x"},
        {"key with blanks", "UI", " A", "x"},
        {"empty key", "UI", "", "x"},
        {"section with ]", "U]I", "A", "x"},
        {"section with LF", "UI\n", "A", "x"},
        {"empty section", "", "A", "x"},
    };
    for (const RefusedWrite& c : cases) {
        Put(before);
        PrivateProfile profile(ini_);
        EXPECT_FALSE(profile.WriteString(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(Contents(), before) << c.name;
    }
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PrivateProfileTest, HugeValueRoundTrips) {
    const std::string huge(100000, 'x');
    PrivateProfile profile(ini_);
    ASSERT_TRUE(profile.WriteString("UI", "Folder", huge));
    ASSERT_TRUE(profile.WriteString("UI", "LANGID", "JPN"));
    EXPECT_EQ(profile.GetString("UI", "Folder", ""), huge);
    EXPECT_EQ(profile.GetString("UI", "Folder", "", 1023).size(), 1023u);
    EXPECT_EQ(profile.GetString("UI", "LANGID", ""), "JPN");
}

TEST_F(PrivateProfileTest, DirectoryInPlaceOfFile) {
    fs::create_directory(ini_);
    PrivateProfile profile(ini_);
    EXPECT_EQ(profile.GetString("UI", "LANGID", "ENG"), "ENG");
    EXPECT_EQ(profile.GetInt("UI", "MAP", 4), 4);
    EXPECT_FALSE(profile.WriteString("UI", "LANGID", "JPN"));
    EXPECT_TRUE(fs::is_directory(ini_));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(PrivateProfileTest, MissingFolderFailsQuietly) {
    PrivateProfile profile(dir_ / "no" / "such" / "Qor.ini");
    EXPECT_EQ(profile.GetInt("UI", "MAP", 3), 3);
    EXPECT_FALSE(profile.WriteInt("UI", "MAP", 1));
    EXPECT_FALSE(fs::exists(dir_ / "no"));
}

TEST_F(PrivateProfileTest, OversizedFileIsNeitherReadNorReplaced) {
    std::string big = "[UI]\nLANGID=JPN\n" + std::string(5 * 1024 * 1024, ';') + "\n";
    Put(big);
    PrivateProfile profile(ini_);
    EXPECT_EQ(profile.GetString("UI", "LANGID", "ENG"), "ENG");
    EXPECT_FALSE(profile.WriteString("UI", "LANGID", "ENG"));
    EXPECT_EQ(fs::file_size(ini_), big.size());
}

// Read-only is the file's attribute: root, whom the kernel lets write
// anything, must not replace it through a temporary file and a rename either.
TEST_F(PrivateProfileTest, ReadOnlyFileIsReadButNeverReplaced) {
    const std::string before = "[UI]\nLANGID=JPN\n";
    Put(before);
    ::chmod(ini_.c_str(), 0444);
    struct stat old_stat {};
    ASSERT_EQ(::stat(ini_.c_str(), &old_stat), 0);
    PrivateProfile profile(ini_);
    EXPECT_EQ(profile.GetString("UI", "LANGID", "ENG"), "JPN");
    EXPECT_FALSE(profile.WriteString("UI", "LANGID", "ENG"));
    EXPECT_FALSE(profile.WriteInt("WINPOS", "LEFT", 5));
    struct stat new_stat {};
    ASSERT_EQ(::stat(ini_.c_str(), &new_stat), 0);
    EXPECT_EQ(new_stat.st_ino, old_stat.st_ino);
    EXPECT_EQ(Contents(), before);
    EXPECT_TRUE(Leftovers().empty());
}

std::string Utf16(std::string_view ascii_and_bmp_utf8, bool big_endian) {
    // Test texts are ASCII plus "日本" (two BMP characters written as \u).
    std::string out = big_endian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
    std::u16string units;
    for (size_t i = 0; i < ascii_and_bmp_utf8.size();) {
        const auto c = static_cast<unsigned char>(ascii_and_bmp_utf8[i]);
        if (c < 0x80) {
            units.push_back(c);
            i += 1;
        } else {
            const auto b = static_cast<unsigned char>(ascii_and_bmp_utf8[i + 1]);
            const auto d = static_cast<unsigned char>(ascii_and_bmp_utf8[i + 2]);
            units.push_back(
                static_cast<char16_t>(((c & 0x0F) << 12) | ((b & 0x3F) << 6) | (d & 0x3F)));
            i += 3;
        }
    }
    for (char16_t u : units) {
        const char high = static_cast<char>(u >> 8);
        const char low = static_cast<char>(u & 0xFF);
        out.push_back(big_endian ? high : low);
        out.push_back(big_endian ? low : high);
    }
    return out;
}

TEST_F(PrivateProfileTest, Utf16FilesAreReadAndWrittenInTheirOwnEncoding) {
    for (bool big_endian : {false, true}) {
        SCOPED_TRACE(big_endian ? "big endian" : "little endian");
        Put(Utf16("; \u65E5\u672C\r\n[UI]\r\nLANGID=JPN\r\nFolder=/card/\u65E5\u672C\r\n",
                  big_endian));
        PrivateProfile profile(ini_);
        EXPECT_EQ(profile.GetString("UI", "LANGID", "ENG"), "JPN");
        EXPECT_EQ(profile.GetString("UI", "Folder", ""), "/card/\u65E5\u672C");
        ASSERT_TRUE(profile.WriteString("UI", "LANGID", "ENG"));
        ASSERT_TRUE(profile.WriteInt("WINPOS", "LEFT", -7));
        EXPECT_EQ(Contents(), Utf16("; \u65E5\u672C\r\n[UI]\r\nLANGID=ENG\r\nFolder=/card/"
                                    "\u65E5\u672C\r\n[WINPOS]\r\nLEFT=-7\r\n",
                                    big_endian));
        EXPECT_EQ(profile.GetInt("WINPOS", "LEFT", 0), -7);
    }
}

// Files whose encoding cannot be told for sure are left exactly as they are.
TEST_F(PrivateProfileTest, UndecidableEncodingsAreLeftUntouched) {
    const std::string utf16_no_mark("[\0U\0I\0]\0\n\0", 10);
    const std::string odd_length = Utf16("[UI]\nLANGID=JPN\n", false) + "x";
    const std::string lone_surrogate =
        Utf16("[UI]\nLANGID=JPN\n", false) + std::string("\x00\xD8", 2);
    for (const std::string& before : {utf16_no_mark, odd_length, lone_surrogate}) {
        Put(before);
        PrivateProfile profile(ini_);
        EXPECT_EQ(profile.GetString("UI", "LANGID", "ENG"), "ENG");
        EXPECT_FALSE(profile.WriteString("UI", "LANGID", "JPN"));
        EXPECT_EQ(Contents(), before);
    }
}

// A full disk or quota during the write: the old file stays whole and no
// temporary file is left behind. The file size limit makes write() fail with
// EFBIG, which works even for root.
TEST_F(PrivateProfileTest, FailedWriteLeavesOldFileWhole) {
    const std::string before = "; keep\n[UI]\nLANGID=ENG\n[WINPOS]\nLEFT=10\n";
    Put(before);
    PrivateProfile profile(ini_);

    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    rlimit small = old_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = profile.WriteString("UI", "Folder", std::string(10000, 'y'));
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(written);
    EXPECT_EQ(Contents(), before);
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(profile.GetString("UI", "Folder", "none"), "none");
}

// Permission bits do not stop root, so these two only run for other users.
TEST_F(PrivateProfileTest, ReadOnlyFolderFailsQuietly) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores permission bits";
    const std::string before = "[UI]\nLANGID=JPN\n";
    Put(before);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    PrivateProfile profile(ini_);
    EXPECT_FALSE(profile.WriteString("UI", "LANGID", "ENG"));
    EXPECT_EQ(profile.GetString("UI", "LANGID", ""), "JPN");
    EXPECT_EQ(Contents(), before);
}

TEST_F(PrivateProfileTest, UnreadableFileGivesDefaultsAndIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores permission bits";
    Put("[UI]\nLANGID=JPN\n");
    fs::permissions(ini_, fs::perms::none);
    PrivateProfile profile(ini_);
    EXPECT_EQ(profile.GetString("UI", "LANGID", "ENG"), "ENG");
    EXPECT_FALSE(profile.WriteString("UI", "MAP", "0"));
    fs::permissions(ini_, fs::perms::owner_read);
    EXPECT_EQ(Contents(), "[UI]\nLANGID=JPN\n");
}

}  // namespace
}  // namespace orvo
