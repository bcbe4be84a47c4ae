#include "controls/pel_tool_tip_ctrl.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "app/window_message_event.h"
#include "app/window_messages.h"

namespace orvo {
namespace {

QString Ui(int language, int id) {
    return QString::fromStdString(LoadUiStringFor(language, id));
}

// Some controls and their tip strings; the others are checked for having a
// tip in the current language.
constexpr std::pair<int, int> kSomeTipTexts[] = {
    {kIdcAbout, 198}, {kIdcPlay, 134}, {kIdcVolumeSlider, 187}, {kIdcRestoreWindow, 142}};

class TooltipTest : public ::testing::Test {
protected:
    void SetUp() override { CQorSettings::Instance().SetLanguage(0); }
    void TearDown() override { CQorSettings::Instance().SetLanguage(0); }
};

void ExpectTipsIn(CQORDlg& window, int language) {
    CPelToolTipCtrl* tips = window.tooltips();
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(tips->tool_count(), 28);
    ASSERT_EQ(tips->tips().size(), 28u);
    for (const auto& [control, text] : kSomeTipTexts) {
        EXPECT_EQ(tips->ToolText(window.Control(control)),
                  CQORDlg::TipWithKey(control, Ui(language, text)))
            << control;
    }
    std::set<int> controls;
    for (const TipTableEntry& tip : tips->tips()) {
        EXPECT_TRUE(controls.insert(tip.control_id).second) << "two tips for " << tip.control_id;
        EXPECT_EQ(tip.description_id, 0);
        EXPECT_EQ(tip.icon_id, 161);
        const QString text = tips->ToolText(window.Control(tip.control_id));
        EXPECT_FALSE(text.isEmpty()) << tip.control_id;
        // Every tip is written in the language shown.
        EXPECT_EQ(text.contains(QRegularExpression(
                      QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"))),
                  language == 1)
            << tip.control_id << " " << text.toStdString();
    }
}

TEST_F(TooltipTest, LanguageChangeRebuildsEveryTipWithoutDuplicates) {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    CQORDlg window(nullptr, options);
    ExpectTipsIn(window, 0);
    CQorSettings::Instance().SetLanguage(1);
    CWindowMessageEvent changed(WM_LANGUAGE_CHANGED, 1);
    QApplication::sendEvent(&window, &changed);
    ExpectTipsIn(window, 1);
    CQorSettings::Instance().SetLanguage(0);
    QApplication::sendEvent(&window, &changed);
    ExpectTipsIn(window, 0);
}

TEST_F(TooltipTest, HoveringTheRestoreButtonShowsItsTextWithTheTick) {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    CQORDlg window(nullptr, options);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget* restore = window.Control(kIdcRestoreWindow);
    restore->show();
    CPelToolTipCtrl* tips = window.tooltips();

    QHelpEvent hover(QEvent::ToolTip, QPoint(3, 3), restore->mapToGlobal(QPoint(3, 3)));
    EXPECT_TRUE(QApplication::sendEvent(restore, &hover));
    EXPECT_TRUE(tips->isVisible());
    EXPECT_EQ(tips->label(), QStringLiteral("Restore window"));
    EXPECT_EQ(tips->current_control_id(), kIdcRestoreWindow);
    EXPECT_TRUE(tips->description().isEmpty());
    EXPECT_GE(tips->height(), 32);

    // The tick is drawn at the icon's place.
    const QImage shown = tips->grab().toImage();
    const QRect icon(6, 6, 32, 32);
    int coloured = 0;
    for (int y = icon.top(); y <= icon.bottom(); ++y) {
        for (int x = icon.left(); x <= icon.right(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            if (c.green() > c.red() + 40 && c.green() > c.blue() + 40) ++coloured;
        }
    }
    EXPECT_GT(coloured, 20);

    // A button press hides it.
    QTest::mousePress(restore, Qt::LeftButton);
    EXPECT_FALSE(tips->isVisible());
    QTest::mouseRelease(restore, Qt::LeftButton);
}

TEST_F(TooltipTest, ToolWithoutTipEntryShowsNoIconAndNoDescription) {
    CPelToolTipCtrl tips;
    EXPECT_EQ(tips.CreateTips(nullptr), 1);
    QPushButton plain;
    plain.setObjectName(QStringLiteral("4242"));
    QPushButton described;
    described.setObjectName(QStringLiteral("1015"));
    tips.AddTool(&plain, QStringLiteral("plain"));
    tips.AddTool(&described, QStringLiteral("described"));
    tips.AddTip(1015, 180, 161);

    ASSERT_TRUE(tips.ShowTip(&plain, QPoint(10, 10)));
    EXPECT_EQ(tips.current_control_id(), 4242);
    EXPECT_TRUE(tips.description().isEmpty());
    QImage canvas(40, 40, QImage::Format_ARGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        EXPECT_FALSE(tips.OnDrawIcon(painter, QRect(0, 0, 32, 32)));
    }
    EXPECT_EQ(canvas.pixel(16, 16), QColor(Qt::black).rgba());

    ASSERT_TRUE(tips.ShowTip(&described, QPoint(10, 10)));
    EXPECT_EQ(tips.description(), Ui(0, 180));
    {
        QPainter painter(&canvas);
        EXPECT_TRUE(tips.OnDrawIcon(painter, QRect(0, 0, 32, 32)));
    }
    EXPECT_NE(canvas.pixel(16, 16), QColor(Qt::black).rgba());
    EXPECT_EQ(tips.GetIconSize(), QSize(32, 32));
}

TEST_F(TooltipTest, ToolsAreRemovedOneByOneOrAllAtOnce) {
    CPelToolTipCtrl tips;
    tips.CreateTips(nullptr);
    QPushButton a;
    auto b = std::make_unique<QPushButton>();
    tips.AddTool(&a, QStringLiteral("a"));
    tips.AddTool(b.get(), QStringLiteral("b"));
    EXPECT_EQ(tips.tool_count(), 2);
    tips.DelTool(&a);
    EXPECT_EQ(tips.tool_count(), 1);
    EXPECT_TRUE(tips.ToolText(&a).isEmpty());
    EXPECT_FALSE(tips.ShowTip(&a, QPoint()));
    // A destroyed tool is forgotten; removing all copes with it.
    QWidget* gone = b.get();
    b.reset();
    EXPECT_TRUE(tips.ToolText(gone).isEmpty());
    tips.AddTool(&a, QStringLiteral("a"));
    tips.RemoveAllTools();
    EXPECT_EQ(tips.tool_count(), 0);
    // Once removed, a hover gets the plain handling again.
    QHelpEvent hover(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    QApplication::sendEvent(&a, &hover);
    EXPECT_FALSE(tips.isVisible());
}

TEST_F(TooltipTest, KeyInputHidesAShownTip) {
    CPelToolTipCtrl tips;
    tips.CreateTips(nullptr);
    QPushButton a;
    a.setObjectName(QStringLiteral("1001"));
    tips.AddTool(&a, QStringLiteral("a"));
    ASSERT_TRUE(tips.ShowTip(&a, QPoint(20, 20)));
    EXPECT_TRUE(tips.isVisible());
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    tips.RelayToolMessage(&key);
    EXPECT_FALSE(tips.isVisible());
}

}  // namespace
}  // namespace orvo
