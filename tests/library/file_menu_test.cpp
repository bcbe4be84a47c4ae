// The file list's tick boxes, its context menu and the file-operation keys
// of the main window, on recordings in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "app/qor_dlg.h"
#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "library/file_list_ctrl.h"
#include "tests/library/card_files.h"
#include "tests/support/time_zone.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteRecording;

const bool kZoneSet = test_support::PinTimeZone("UTC0");

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

// Answers the next modal window (message box or file dialog) once it is up.
void WhenModalOpens(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr) << "no modal window is open";
        answer(modal);
    });
}

// Accepts (OK) the next message box and keeps its text.
void AnswerBox(QString* text, QMessageBox::StandardButton button = QMessageBox::Ok) {
    WhenModalOpens([text, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        *text = box->text();
        box->button(button)->click();
    });
}

// A card of two trips: FILE 12:00:00 + FILG 12:01:00 (locked), then
// EMER 13:00:00 in the event folder.
class FileMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        CQorSettings::Instance().SetLanguage(0);
        ::setenv("XDG_DOCUMENTS_DIR", documents_.str().c_str(), 1);
        WriteRecording(Card("DCIM/MOVIE/FILE180501_120000.MOV"), 12, 0, 0);
        WriteRecording(Card("DCIM/MOVIE/FILG180501_120100.MOV"), 12, 1, 0);
        WriteRecording(Card("DCIM/EVENT/EMER180501_130000.MOV"), 13, 0, 0);
        QorDlgOptions options;
        options.warn_when_engine_missing = false;
        options.engine_library = "libnothing-here.so";
        window_ = std::make_unique<CQORDlg>(nullptr, options);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        ASSERT_EQ(window_->OpenPath(QString::fromStdString(card_.str())), 1);
        ASSERT_EQ(list()->topLevelItemCount(), 3);
        // Without an engine no clip ever reports time: let the delayed start
        // run, then release the clip-switch guard as a playing clip would.
        QTest::qWait(700);
        window_->ClipSwitchGuard().store(0);
    }

    fs::path Card(const std::string& relative) const { return card_.path() / relative; }
    CQorFileListCtrl* list() const { return window_->file_list(); }
    CClipCatalog& catalog() { return window_->catalog(); }

    void Trigger(int row, const char* action) {
        std::unique_ptr<QMenu> menu = window_->BuildFileMenu(row);
        QAction* found = menu->findChild<QAction*>(action);
        ASSERT_NE(found, nullptr) << action;
        ASSERT_TRUE(found->isEnabled()) << action;
        found->trigger();
    }

    void ClickTickBox(int row) {
        QTreeWidgetItem* item = list()->topLevelItem(row);
        const QRect cell = list()->visualItemRect(item);
        // The box sits at the left of column 0.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          QPoint(cell.left() + 10, cell.center().y()));
    }

    TempFolder card_;
    TempFolder documents_;
    std::unique_ptr<CQORDlg> window_;
};

TEST_F(FileMenuTest, TickBoxesTickTheCatalogueAndFollowItsTicks) {
    ClickTickBox(2);
    EXPECT_TRUE(catalog().IsTicked(2));
    EXPECT_TRUE(list()->IsRowTicked(2));
    ClickTickBox(2);
    EXPECT_FALSE(catalog().IsTicked(2));

    Trigger(1, "TickTrip");
    EXPECT_TRUE(list()->IsRowTicked(0));
    EXPECT_TRUE(list()->IsRowTicked(1));
    EXPECT_FALSE(list()->IsRowTicked(2));
    Trigger(0, "Tick");  // the row is ticked: the action unticks it
    EXPECT_FALSE(catalog().IsTicked(0));
    EXPECT_TRUE(catalog().IsTicked(1));
    Trigger(-1, "UntickAll");
    EXPECT_EQ(catalog().TickedCount(), 0);
    EXPECT_FALSE(list()->IsRowTicked(1));
}

TEST_F(FileMenuTest, TicksSurviveAHeadingSort) {
    ClickTickBox(0);          // FILE180501_120000
    list()->SortByColumn(1);  // by name, ascending: EMER, FILE, FILG
    ASSERT_EQ(list()->topLevelItem(1)->text(1), "FILE180501_120000.MOV");
    EXPECT_TRUE(list()->IsRowTicked(1));
    EXPECT_FALSE(list()->IsRowTicked(0));
    EXPECT_EQ(catalog().entries()[1].fileName, "FILE180501_120000.MOV");
    EXPECT_TRUE(catalog().IsTicked(1));
}

TEST_F(FileMenuTest, RightClickAndMenuKeyReportTheRow) {
    int reported = -2;
    QObject::connect(list(), &CQorFileListCtrl::ContextMenuRequested, list(),
                     [&reported](int row, QPoint) { reported = row; });
    const QRect cell = list()->visualItemRect(list()->topLevelItem(1));
    // Reported rows would open the real menu: answer it by closing it.
    auto close_menu = [] {
        QTimer::singleShot(0, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        });
    };
    close_menu();
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, cell.center(),
                            list()->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(list()->viewport(), &mouse);
    EXPECT_EQ(reported, 1);
    close_menu();
    list()->setCurrentItem(list()->topLevelItem(2));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0),
                          list()->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(list(), &key);
    EXPECT_EQ(reported, 2);
}

TEST_F(FileMenuTest, CommandsWithNothingTickedTouchNoFile) {
    for (const char* action : {"SaveAs", "Unlock", "Delete"}) {
        QString text;
        if (std::string(action) == "SaveAs") {
            // The folder picker first, then the box.
            WhenModalOpens([this, &text](QWidget* modal) {
                auto* browser = qobject_cast<QFileDialog*>(modal);
                ASSERT_NE(browser, nullptr);
                browser->selectFile(QString::fromStdString(documents_.str()));
                AnswerBox(&text);
                static_cast<QDialog*>(browser)->accept();
            });
        } else if (std::string(action) == "Delete") {
            // The confirmation, then the box.
            WhenModalOpens([&text](QWidget* modal) {
                AnswerBox(&text);
                qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
            });
        } else {
            AnswerBox(&text);
        }
        Trigger(0, action);
        EXPECT_EQ(text, Ui(135)) << action;
    }
    EXPECT_TRUE(fs::exists(Card("DCIM/MOVIE/FILG180501_120100.MOV")));
    EXPECT_TRUE(fs::is_empty(documents_.path()));
    EXPECT_EQ(catalog().Count(), 3);
}

TEST_F(FileMenuTest, SaveUnlockAndDeleteActOnTheTickedRows) {
    Trigger(1, "TickTrip");  // FILE and FILG
    TempFolder target;
    WhenModalOpens([&target](QWidget* modal) {
        auto* browser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(browser->windowTitle(), Ui(130));
        browser->selectFile(QString::fromStdString(target.str()));
        static_cast<QDialog*>(browser)->accept();
    });
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadAll(target.path() / "DCIM/MOVIE/FILG180501_120100.MOV"),
              ReadAll(Card("DCIM/MOVIE/FILG180501_120100.MOV")));
    EXPECT_TRUE(fs::exists(target.path() / "DCIM/MOVIE/FILE180501_120000.MOV"));
    EXPECT_FALSE(fs::exists(target.path() / "DCIM/EVENT"));

    Trigger(2, "Unlock");
    EXPECT_TRUE(fs::exists(Card("DCIM/MOVIE/FIL_180501_120100.MOV")));
    EXPECT_TRUE(list()->IsRowTicked(0));
    EXPECT_TRUE(list()->IsRowTicked(1));
    EXPECT_EQ(list()->topLevelItem(1)->text(1), "FIL_180501_120100.MOV");

    // The Delete key asks first; Cancel keeps everything.
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    list()->setFocus();
    QString text;
    AnswerBox(&text, QMessageBox::Cancel);
    QTest::keyClick(window_.get(), Qt::Key_Delete);
    EXPECT_EQ(text, Ui(129));
    EXPECT_EQ(catalog().Count(), 3);
    AnswerBox(&text);
    Trigger(2, "Delete");
    EXPECT_FALSE(fs::exists(Card("DCIM/MOVIE/FILE180501_120000.MOV")));
    EXPECT_FALSE(fs::exists(Card("DCIM/MOVIE/FIL_180501_120100.MOV")));
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(list()->topLevelItem(0)->text(1), "EMER180501_130000.MOV");
    EXPECT_FALSE(list()->IsRowTicked(0));
}

TEST_F(FileMenuTest, SaveAsNamesTheRecordingsThatCouldNotBeCopied) {
    Trigger(1, "TickTrip");  // FILE and FILG
    TempFolder target;
    // A file where the recordings' folder would go: no copy can be made there.
    fs::create_directories(target.path() / "DCIM");
    WriteRecording(target.path() / "DCIM/MOVIE", 12, 0, 0);
    QString text;
    WhenModalOpens([&target, &text](QWidget* modal) {
        auto* browser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(browser, nullptr);
        browser->selectFile(QString::fromStdString(target.str()));
        AnswerBox(&text);
        static_cast<QDialog*>(browser)->accept();
    });
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(text.startsWith("2 recordings could not be copied:")) << text.toStdString();
    EXPECT_TRUE(text.contains("FILG180501_120100.MOV")) << text.toStdString();
    EXPECT_TRUE(fs::is_regular_file(target.path() / "DCIM/MOVIE"));
}

TEST_F(FileMenuTest, KmlAndGpxExportTheRowUnderTheMouse) {
    QString text;
    AnswerBox(&text);
    Trigger(2, "ExportKml");
    EXPECT_EQ(catalog().SelectedIndex(), 2);
    const fs::path kml = documents_.path() / "QOR/KML/EMER180501_130000_2018_05_01_13-00-00.KML";
    EXPECT_TRUE(fs::exists(kml));
    EXPECT_TRUE(text.contains(QString::fromStdString(kml.string()))) << text.toStdString();

    const fs::path gpx = documents_.path() / "track.gpx";
    WhenModalOpens([&gpx, &text](QWidget* modal) {
        auto* save = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(save, nullptr);
        EXPECT_TRUE(
            save->selectedFiles().value(0).endsWith("FILE180501_120000_2018_05_01_12-00-00.GPX"));
        save->selectFile(QString::fromStdString(gpx.string()));
        AnswerBox(&text);
        static_cast<QDialog*>(save)->accept();
    });
    Trigger(0, "ExportGpx");
    EXPECT_EQ(catalog().SelectedIndex(), 0);
    EXPECT_NE(ReadAll(gpx).find("<gpx"), std::string::npos);
    EXPECT_TRUE(text.startsWith("Save GPX file:")) << text.toStdString();
}

TEST_F(FileMenuTest, RowCommandsAreOffBelowTheLastRow) {
    std::unique_ptr<QMenu> menu = window_->BuildFileMenu(-1);
    for (const char* action :
         {"Play", "Tick", "TickTrip", "ExportKml", "ExportGpx", "OpenFolder"}) {
        QAction* found = menu->findChild<QAction*>(action);
        ASSERT_NE(found, nullptr) << action;
        EXPECT_FALSE(found->isEnabled()) << action;
    }
    EXPECT_TRUE(menu->findChild<QAction*>("SaveAs")->isEnabled());
    EXPECT_FALSE(menu->findChild<QAction*>("UntickAll")->isEnabled());
}

TEST_F(FileMenuTest, ExportEvidencePackagesTheTickedRowsAndTheSumsVerify) {
    ClickTickBox(2);  // the event recording
    TempFolder target;
    QString text;
    WhenModalOpens([&target, &text](QWidget* modal) {
        auto* browser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(browser, nullptr);
        browser->selectFile(QString::fromStdString(target.str()));
        static_cast<QDialog*>(browser)->accept();
    });
    // The result box comes after the worker finished.
    QTimer wait_for_box;
    wait_for_box.setInterval(50);
    QObject::connect(&wait_for_box, &QTimer::timeout, [&text, &wait_for_box] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            wait_for_box.stop();
            box->accept();
        }
    });
    wait_for_box.start();
    Trigger(2, "ExportEvidence");
    const fs::path package = target.path() / "Orvo evidence 2018-05-01 13-00-00";
    EXPECT_TRUE(text.contains(QString::fromStdString(package.string()))) << text.toStdString();
    EXPECT_TRUE(fs::exists(package / "DCIM/EVENT/EMER180501_130000.MOV"));
    EXPECT_FALSE(fs::exists(package / "DCIM/MOVIE"));
    EXPECT_TRUE(fs::exists(package / "report.pdf"));
    const std::string check = "cd '" + package.string() + "' && sha256sum -c SHA256SUMS >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0);
}

}  // namespace
}  // namespace orvo
