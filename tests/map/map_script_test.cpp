#include "gps/map_script.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/map/locale_switch.h"

namespace orvo {
namespace {

using orvo::testing::UseLocale;

std::string PrintfInCLocale(double v) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%f", v);
    return buffer;
}

TEST(MapScriptTest, ExampleRecordGivesTheDocumentedMarkerTexts) {
    // Stored 3731.5 / 12701.2, handed over divided by 100.
    EXPECT_EQ(MoveMarkerScript(kMapChoiceConverted, 3731.5 / 100.0, 12701.2 / 100.0),
              "movpos(37.525000, 127.020000)");
    EXPECT_EQ(MoveMarkerScript(kMapChoiceRaw, 3731.5 / 100.0, 12701.2 / 100.0),
              "movpos(37.315000, 127.012000)");
    // Any other choice behaves as the converting one.
    EXPECT_EQ(MoveMarkerScript(7, 3731.5 / 100.0, 12701.2 / 100.0),
              "movpos(37.525000, 127.020000)");
}

TEST(MapScriptTest, CallTextsKeepTheirExactSpacing) {
    EXPECT_EQ(MovPosScript(37.525, 127.02), "movpos(37.525000, 127.020000)");
    EXPECT_EQ(PathPlotScript(37.525, 127.02), "path_plot(37.525000,127.020000)");
    EXPECT_EQ(PathDrivedPlotScript(-37.525, -0.5), "pathdrived_plot(-37.525000,-0.500000)");
}

TEST(MapScriptTest, NumbersMatchPrintfInTheCLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> values = {0.0,    -0.0,       1.0,        0.5e-6,
                                        1.5e-6, 2.5e-6,     0.0000004,  -0.0000004,
                                        37.525, 139.745493, -180.0,     123456789.123456789,
                                        1e300,  -1e300,     1e-300,     inf,
                                        -inf,   1.0 / 3.0,  35.6585175, 0.1234565};
    for (double v : values) EXPECT_EQ(FormatScriptNumber(v), PrintfInCLocale(v)) << v;
    EXPECT_EQ(FormatScriptNumber(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatScriptNumber(std::numeric_limits<double>::max()),
              PrintfInCLocale(std::numeric_limits<double>::max()));
    // Random values over the range of coordinates and beyond.
    std::srand(42);
    for (int i = 0; i < 2000; ++i) {
        const double v = (std::rand() / double(RAND_MAX) - 0.5) * std::pow(10.0, i % 12);
        ASSERT_EQ(FormatScriptNumber(v), PrintfInCLocale(v)) << v;
    }
}

class MapScriptLocaleTest : public ::testing::TestWithParam<const char*> {
protected:
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_P(MapScriptLocaleTest, TextsDoNotFollowTheUsersLocale) {
    const std::string name = GetParam();
    std::string why;
    ASSERT_TRUE(UseLocale(name, name.substr(0, name.find('.')), &why)) << why;
    const std::string expected_marker = "movpos(37.525000, 127.020000)";
    EXPECT_EQ(MoveMarkerScript(kMapChoiceConverted, 37.315, 127.012), expected_marker);
    EXPECT_EQ(MoveMarkerScript(kMapChoiceRaw, 37.315, 127.012), "movpos(37.315000, 127.012000)");
    EXPECT_EQ(PathPlotScript(-33.5, 151.25), "path_plot(-33.500000,151.250000)");
    EXPECT_EQ(PathDrivedPlotScript(1234.5, 0.125), "pathdrived_plot(1234.500000,0.125000)");
    EXPECT_EQ(FormatScriptNumber(1234567.5), "1234567.500000");
}

INSTANTIATE_TEST_SUITE_P(Locales, MapScriptLocaleTest,
                         ::testing::Values("de_DE.UTF-8", "ja_JP.UTF-8", "fr_FR.UTF-8"));

TEST(MapScriptLocaleCheck, GermanLocaleReallyWritesCommas) {
    // Guards the test above: if the locale had no effect it would prove nothing.
    std::string why;
    ASSERT_TRUE(UseLocale("de_DE.UTF-8", "de_DE", &why)) << why;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%f", 1.5);
    EXPECT_STREQ(buffer, "1,500000");
    std::setlocale(LC_ALL, "C");
}

TEST(MapScriptTest, PlainCallsAreRecognised) {
    struct Row {
        const char* text;
        bool plain;
    };
    const Row rows[] = {
        {"movpos(37.525000, 127.020000)", true},
        {"path_plot(-37.525000,127.020000)", true},
        {"path_delete()", true},
        {"pathdrived_plot_to_n(55)", true},
        {"movpos(nan, inf)", true},
        {"movpos(-nan, -inf)", true},
        {"f( 1 , 2 )", true},
        {"movpos(1.5.2, 3)", false},
        {"movpos(1,,2)", false},
        {"movpos(1,2", false},
        {"movpos(1,2);alert(1)", false},
        {"movpos(1,2) ", false},
        {"movpos(nanx, 1)", false},
        {"movpos(a, 1)", false},
        {"if(1)", false},
        {"return(1)", false},
        {"1abc(2)", false},
        {"movpos", false},
        {"", false},
        {"(1)", false},
        {"movpos(\"x\")", false},
        {"movpos(1e5)", false},
        {"eval(1)", false},
        {"globalThis(1)", false},
    };
    for (const Row& row : rows) EXPECT_EQ(IsPlainScriptCall(row.text), row.plain) << row.text;
}

TEST(MapScriptTest, JoiningKeepsEveryTextAndItsOrder) {
    const std::vector<std::string> texts = {
        "pathdrived_delete()",          "path_delete()",
        "path_plot(1.000000,2.000000)", "broken(",
        "path_plot(3.000000,4.000000)", "movpos(5.000000, 6.000000)"};
    const std::vector<std::string> joined = JoinScripts(texts);
    ASSERT_EQ(joined.size(), 3u);
    EXPECT_EQ(joined[0],
              "(function(){\n"
              "var pathdrived_delete=function(){try{return globalThis.pathdrived_delete"
              ".apply(null,arguments)}catch(e){}};\n"
              "var path_delete=function(){try{return globalThis.path_delete"
              ".apply(null,arguments)}catch(e){}};\n"
              "var path_plot=function(){try{return globalThis.path_plot"
              ".apply(null,arguments)}catch(e){}};\n"
              "pathdrived_delete();\n"
              "path_delete();\n"
              "path_plot(1.000000,2.000000);\n"
              "})();");
    // A text that is not a plain call runs on its own, so a syntax error in
    // it cannot stop its neighbours.
    EXPECT_EQ(joined[1], "broken(");
    EXPECT_EQ(joined[2],
              "(function(){\n"
              "var path_plot=function(){try{return globalThis.path_plot"
              ".apply(null,arguments)}catch(e){}};\n"
              "var movpos=function(){try{return globalThis.movpos"
              ".apply(null,arguments)}catch(e){}};\n"
              "path_plot(3.000000,4.000000);\n"
              "movpos(5.000000, 6.000000);\n"
              "})();");
    EXPECT_TRUE(JoinScripts({}).empty());
    EXPECT_EQ(JoinScripts({"x(", "eval(1)"}), (std::vector<std::string>{"x(", "eval(1)"}));
}

TEST(MapScriptTest, JoiningSplitsLongBatchesWithoutLosingCalls) {
    std::vector<std::string> texts;
    for (int i = 0; i < 18000; ++i) texts.push_back(PathPlotScript(35.0 + i * 1e-5, 139.0));
    const std::vector<std::string> joined = JoinScripts(texts, 64 * 1024);
    ASSERT_GT(joined.size(), 1u);
    std::string all;
    for (const std::string& part : joined) {
        EXPECT_LE(part.size(), 64u * 1024u + 256u);
        EXPECT_EQ(part.find("(function(){\nvar path_plot="), 0u);
        EXPECT_EQ(part.substr(part.size() - 5), "})();");
        all += part;
    }
    size_t pos = 0;
    for (const std::string& text : texts) {
        pos = all.find("\n" + text + ";\n", pos);
        ASSERT_NE(pos, std::string::npos) << text;
    }
    EXPECT_EQ(JoinScripts(texts).size(), 1u);
}

}  // namespace
}  // namespace orvo
