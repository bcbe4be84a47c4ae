#include "app/menu_text.h"

#include <gtest/gtest.h>

#include "app/ui_strings.h"

namespace orvo {
namespace {

TEST(MenuTextTest, TitlesLoseMnemonicsAndEllipsis) {
    EXPECT_EQ(MenuTextAsTitle("&About QOR..."), "About QOR");
    EXPECT_EQ(MenuTextAsTitle("QOR のバージョン情報(&A)..."), "QOR のバージョン情報");
    EXPECT_EQ(MenuTextAsTitle("Save && Exit\u2026"), "Save & Exit");
    EXPECT_EQ(MenuTextAsTitle("Plain"), "Plain");
    EXPECT_EQ(MenuTextAsTitle("(&"), "(");
    EXPECT_EQ(MenuTextAsTitle(""), "");
    // The about box's title in both languages.
    for (int language : {0, 1}) {
        const std::string title = MenuTextAsTitle(LoadUiStringFor(language, 101));
        EXPECT_EQ(title.find('&'), std::string::npos) << title;
        EXPECT_EQ(title.find("..."), std::string::npos) << title;
        EXPECT_FALSE(title.empty());
    }
}

}  // namespace
}  // namespace orvo
