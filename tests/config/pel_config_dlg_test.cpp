#include "config/pel_config_dlg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "app/window_message_event.h"
#include "app/window_messages.h"
#include "controls/gdip_button.h"
#include "platform/private_profile.h"
#include "tests/support/mbtiles_writer.h"
#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

// Stands in for the main window: records the private messages it receives.
class MessageRecorder : public QWidget {
public:
    std::vector<std::pair<unsigned, std::intptr_t>> messages;

protected:
    bool event(QEvent* event) override {
        if (auto* message = dynamic_cast<CWindowMessageEvent*>(event)) {
            messages.emplace_back(message->message(),
                                  static_cast<std::intptr_t>(message->wparam()));
            return true;
        }
        return QWidget::event(event);
    }
};

QString Ui(int language, int id) {
    return QString::fromStdString(LoadUiStringFor(language, id));
}

QString Text(CPelConfigDlg& dlg, int id) {
    QWidget* w = dlg.findChild<QWidget*>(QString::number(id));
    if (auto* button = qobject_cast<QPushButton*>(w)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w)) return group->title();
    return QStringLiteral("<missing %1>").arg(id);
}

std::string StoredValue(const char* key) {
    PrivateProfile profile(CQorSettings::Instance().path());
    return profile.GetString("UI", key, "<absent>");
}

class ConfigDlgTest : public ::testing::Test {
protected:
    void SetUp() override { CQorSettings::Instance().SetLanguage(0); }
    void TearDown() override { CQorSettings::Instance().SetLanguage(0); }
};

TEST_F(ConfigDlgTest, StartsWithBothListsTheCurrentLanguageAndItsTexts) {
    CQorSettings::Instance().SetLanguage(1);
    MessageRecorder parent;
    CPelConfigDlg dlg(&parent);
    ASSERT_EQ(dlg.language_list()->count(), 2);
    EXPECT_EQ(dlg.language_list()->itemText(0), QStringLiteral("English"));
    EXPECT_EQ(dlg.language_list()->itemText(1), QString::fromUtf8("日本語"));
    EXPECT_EQ(dlg.language_list()->currentIndex(), 1);
    ASSERT_EQ(dlg.map_list()->count(), 1);
    EXPECT_EQ(dlg.map_list()->currentIndex(), 0);
    EXPECT_EQ(dlg.windowTitle(), Ui(1, 110));
    EXPECT_EQ(Text(dlg, kIdcMapGroup), Ui(1, 115));
    EXPECT_EQ(Text(dlg, kIdcLanguageGroup), Ui(1, 114));
    EXPECT_EQ(Text(dlg, kIdcMapApply), Ui(1, 109));
    EXPECT_EQ(Text(dlg, kIdcLanguageApply), Ui(1, 109));
    EXPECT_EQ(Text(dlg, kIdcConfigOk), Ui(1, 107));
    EXPECT_EQ(Text(dlg, kIdcConfigCancel), Ui(1, 108));
    EXPECT_EQ(dlg.map_list()->itemText(0), Ui(1, 105));
    // Opening posts nothing.
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent.messages.empty());
}

TEST_F(ConfigDlgTest, LanguageApplyWritesTheCodeRelabelsAndPostsTheIndex) {
    MessageRecorder parent;
    CPelConfigDlg dlg(&parent);
    EXPECT_EQ(Text(dlg, kIdcLanguageGroup), QStringLiteral("Select language"));

    dlg.language_list()->setCurrentIndex(1);
    QTest::mouseClick(dlg.findChild<QPushButton*>(QString::number(kIdcLanguageApply)),
                      Qt::LeftButton);
    EXPECT_EQ(StoredValue("LANGID"), "JPN");
    EXPECT_EQ(CQorSettings::Instance().language_index(), 1);
    EXPECT_EQ(Text(dlg, kIdcLanguageGroup), Ui(1, 114));
    EXPECT_EQ(dlg.windowTitle(), Ui(1, 110));
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 1u);
    EXPECT_EQ(parent.messages[0].first, WM_LANGUAGE_CHANGED);
    EXPECT_EQ(parent.messages[0].second, 1);

    dlg.language_list()->setCurrentIndex(0);
    dlg.OnLanguageApply();
    EXPECT_EQ(StoredValue("LANGID"), "ENG");
    EXPECT_EQ(Text(dlg, kIdcMapApply), QStringLiteral("Apply"));
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 2u);
    EXPECT_EQ(parent.messages[1].second, 0);
}

TEST_F(ConfigDlgTest, LanguageApplyWithoutSelectionChangesNothing) {
    CQorSettings::Instance().SetLanguage(1);
    MessageRecorder parent;
    CPelConfigDlg dlg(&parent);
    dlg.language_list()->setCurrentIndex(-1);
    dlg.OnLanguageApply();
    EXPECT_EQ(CQorSettings::Instance().language_index(), 1);
    EXPECT_EQ(StoredValue("LANGID"), "JPN");
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 1u);
    EXPECT_EQ(parent.messages[0].second, -1);
}

TEST_F(ConfigDlgTest, OkPostsMapThenLanguageEvenWhenNothingChanged) {
    MessageRecorder parent;
    CPelConfigDlg dlg(&parent);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 2u);
    EXPECT_EQ(parent.messages[0], std::make_pair(WM_MAP_CHANGED, std::intptr_t{0}));
    EXPECT_EQ(parent.messages[1], std::make_pair(WM_LANGUAGE_CHANGED, std::intptr_t{0}));
    EXPECT_EQ(StoredValue("LANGID"), "ENG");
    EXPECT_EQ(StoredValue("MAP"), "0");
}

TEST_F(ConfigDlgTest, CancelKeepsAnAppliedLanguage) {
    MessageRecorder parent;
    CPelConfigDlg dlg(&parent);
    dlg.language_list()->setCurrentIndex(1);
    dlg.OnLanguageApply();
    dlg.reject();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(CQorSettings::Instance().language_index(), 1);
    EXPECT_EQ(StoredValue("LANGID"), "JPN");
}

TEST_F(ConfigDlgTest, AnyStoredMapChoiceShowsTheOneProviderAndIsRewrittenAsZero) {
    CQorSettings::Instance().WriteInt("UI", "MAP", 3);
    MessageRecorder parent;
    {
        CPelConfigDlg dlg(&parent);
        ASSERT_EQ(dlg.map_list()->count(), 1);
        EXPECT_EQ(dlg.map_list()->currentText(), QStringLiteral("OpenStreetMap"));
        EXPECT_EQ(CQorSettings::Instance().map_provider(), 0);
        EXPECT_EQ(StoredValue("MAP"), "3");  // reading does not rewrite
        QTest::mouseClick(dlg.findChild<QPushButton*>(QString::number(kIdcMapApply)),
                          Qt::LeftButton);
        EXPECT_EQ(StoredValue("MAP"), "0");
        EXPECT_EQ(dlg.map_provider(), 0);
    }
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 1u);
    EXPECT_EQ(parent.messages[0], std::make_pair(WM_MAP_CHANGED, std::intptr_t{0}));

    CQorSettings::Instance().WriteInt("UI", "MAP", -7);
    CPelConfigDlg dlg(&parent);
    dlg.accept();
    EXPECT_EQ(StoredValue("MAP"), "0");
}

TEST_F(ConfigDlgTest, MainWindowFollowsALanguageAppliedInTheDialog) {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    CQORDlg window(nullptr, options);
    EXPECT_EQ(window.Control(kIdcConf)->toolTip(), CQORDlg::TipWithKey(kIdcConf, Ui(0, 183)));
    CPelConfigDlg dlg(&window);
    dlg.language_list()->setCurrentIndex(1);
    dlg.OnLanguageApply();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.Control(kIdcConf)->toolTip(), CQORDlg::TipWithKey(kIdcConf, Ui(1, 183)));
    EXPECT_EQ(window.Control(kIdcPlay)->toolTip(), CQORDlg::TipWithKey(kIdcPlay, Ui(1, 134)));
    EXPECT_NE(Ui(0, 183), Ui(1, 183));
}

TEST_F(ConfigDlgTest, ConfButtonRunsTheDialogModally) {
    QorDlgOptions options;
    options.warn_when_engine_missing = false;
    CQORDlg window(nullptr, options);
    CQorSettings::Instance().WriteInt("UI", "MAP", 3);
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* config = qobject_cast<CPelConfigDlg*>(QApplication::activeModalWidget());
        if (config == nullptr) return;
        seen = true;
        config->language_list()->setCurrentIndex(1);
        config->accept();
    });
    QTest::mouseClick(window.Button(kIdcConf), Qt::LeftButton);
    EXPECT_TRUE(seen);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.map_provider(), 0);
    EXPECT_EQ(StoredValue("MAP"), "0");
    EXPECT_EQ(window.Control(kIdcOpen)->toolTip(), CQORDlg::TipWithKey(kIdcOpen, Ui(1, 179)));
}

}  // namespace
}  // namespace orvo

namespace orvo {
namespace {

class ConfigMapFileTest : public ::testing::Test {
protected:
    void TearDown() override { CQorSettings::Instance().WriteMapTiles(""); }
    std::filesystem::path TileFile(const char* name, const char* format) {
        const auto path = folder_.path() / name;
        test_support::MbtilesWriter w(path);
        w.SetMetadata("format", format);
        w.AddTile(0, 0, 0, {0x89, 'P', 'N', 'G'});
        return path;
    }
    test_support::TempFolder folder_;
};

TEST_F(ConfigMapFileTest, AFileIsCheckedKeptAndReloadsTheMap) {
    MessageRecorder parent;
    CPelConfigDlg dlg(&parent);
    for (int id : {kIdcTilesGroup, kIdcTilesChoose, kIdcTilesOnline}) {
        QWidget* w = dlg.findChild<QWidget*>(QString::number(id));
        ASSERT_NE(w, nullptr) << id;
        EXPECT_TRUE(dlg.rect().contains(w->geometry())) << id;
        // The template's groups and buttons keep their places.
        for (int old : {kIdcMapGroup, kIdcLanguageGroup, kIdcConfigOk, kIdcConfigCancel}) {
            EXPECT_FALSE(
                w->geometry().intersects(dlg.findChild<QWidget*>(QString::number(old))->geometry()))
                << id << " over " << old;
        }
    }
    EXPECT_EQ(Text(dlg, kIdcTilesGroup), Ui(0, 290));
    EXPECT_EQ(dlg.tiles_file()->text(), Ui(0, 291));

    // Refused files write and post nothing.
    const std::filesystem::path text = folder_.path() / "notes.mbtiles";
    { std::ofstream(text) << "not a database"; }
    EXPECT_EQ(dlg.ApplyMapFile(QString::fromStdString(text.string())), MbtilesStatus::kCannotOpen);
    EXPECT_EQ(dlg.ApplyMapFile(QString::fromStdString(TileFile("v.mbtiles", "pbf").string())),
              MbtilesStatus::kVectorTiles);
    QCoreApplication::processEvents();
    EXPECT_TRUE(parent.messages.empty());
    EXPECT_EQ(StoredValue("MAP_TILES"), "<absent>");

    const auto good = TileFile("region \u5730\u56f3.mbtiles", "png");
    EXPECT_EQ(dlg.ApplyMapFile(QString::fromStdString(good.string())), MbtilesStatus::kOk);
    EXPECT_EQ(StoredValue("MAP_TILES"), good.string());
    EXPECT_EQ(dlg.tiles_file()->text(), QString::fromUtf8("region \u5730\u56f3.mbtiles"));
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 1u);
    EXPECT_EQ(parent.messages[0].first, WM_MAP_CHANGED);

    // A new opening shows the kept file; the online button empties it.
    CPelConfigDlg again(&parent);
    EXPECT_EQ(again.tiles_file()->toolTip().toStdString(), good.string());
    again.OnUseOnlineMap();
    EXPECT_EQ(StoredValue("MAP_TILES"), "");
    EXPECT_EQ(again.tiles_file()->text(), Ui(0, 291));
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.messages.size(), 2u);
    EXPECT_EQ(parent.messages[1].first, WM_MAP_CHANGED);
}

}  // namespace
}  // namespace orvo
