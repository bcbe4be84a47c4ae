#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "library/folder_dialog.h"
#include "library/media_open_dialog.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

// Runs `answer` on the file dialog that the next modal loop opens.
void WhenBrowserOpens(std::function<void(QFileDialog*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(browser, nullptr) << "no file dialog is open";
        answer(browser);
    });
}

// Pick `path` in the open browser and confirm.
void ChooseInBrowser(const QString& path) {
    WhenBrowserOpens([path](QFileDialog* browser) {
        browser->selectFile(path);
        static_cast<QDialog*>(browser)->accept();  // runs the browser's own checks
    });
}

class MediaOpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid());
        ini = fs::path(scratch.path().toStdString()) / "Qor.ini";
        card = fs::path(scratch.path().toStdString()) / "card";
        fs::create_directories(card);
    }

    QList<VolumeEntry> volumes{
        {"/", "System", "ext4"},
        {"/media/cdrom", "", "iso9660"},
        {"/mnt/share", "Share", "nfs4"},
    };
    QTemporaryDir scratch;
    fs::path ini;
    fs::path card;
};

TEST(DriveListTest, LabelsInBracketsNetworkSharesLeftOutSorted) {
    const QList<DriveListItem> items = BuildDriveList({
        {"/media/usb", "CARD", "vfat"},
        {"/", "System", "ext4"},
        {"/media/cdrom", "", "iso9660"},
        {"/mnt/share", "Share", "cifs"},
        {"/mnt/nfs", "", "NFS"},
    });
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].text, "/    [System]");
    EXPECT_EQ(items[0].root, "/");
    EXPECT_EQ(items[1].text, "/media/cdrom");
    EXPECT_EQ(items[2].text, "/media/usb    [CARD]");
    EXPECT_EQ(items[2].root, "/media/usb");
}

TEST(DriveListTest, RemovableVolumesComeFirstAndTheFirstOneIsChosen) {
    const QList<VolumeEntry> volumes = {
        {"/", "System", "ext4"},
        {"/run/media/kei/CARD", "CARD", "exfat", true},
        {"/home", "", "ext4"},
        {"/media/kei/STICK", "", "vfat", true},
    };
    const QList<DriveListItem> items = BuildDriveList(volumes);
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0].text, "/media/kei/STICK");
    EXPECT_EQ(items[1].text, "/run/media/kei/CARD    [CARD]");
    EXPECT_EQ(items[2].text, "/    [System]");
    EXPECT_EQ(items[3].text, "/home");
    EXPECT_EQ(InitialDriveIndex(items), 0);
    // Without a card the last line, as before; nothing at all: none.
    EXPECT_EQ(InitialDriveIndex(BuildDriveList({{"/", "", "ext4"}, {"/home", "", "ext4"}})), 1);
    EXPECT_EQ(InitialDriveIndex({}), -1);

    CQorSettings settings(fs::path(QDir::tempPath().toStdString()) / "orvo-no-such-dir" / "Q.ini");
    CMediaOpenDialog dialog(nullptr, &settings, &volumes);
    auto* drives = dialog.findChild<QComboBox*>("1033");
    EXPECT_EQ(drives->currentText(), "/media/kei/STICK");
    dialog.accept();
    EXPECT_EQ(dialog.drive(), "/media/kei/STICK");
}

TEST(DriveListTest, MachineVolumesIncludeTheRoot) {
    bool root_listed = false;
    for (const DriveListItem& item : BuildDriveList(MountedVolumes())) {
        root_listed = root_listed || item.root == "/";
        // No kernel or memory file system of this machine is offered.
        for (const char* hidden : {"/proc", "/sys", "/dev", "/run/user"}) {
            EXPECT_FALSE(item.root.startsWith(hidden)) << item.root.toStdString();
        }
    }
    EXPECT_TRUE(root_listed);
}

TEST_F(MediaOpenDialogTest, OpensOnDiskWithLastDriveAndLocalisedTexts) {
    CQorSettings settings(ini);
    CMediaOpenDialog dialog(nullptr, &settings, &volumes);
    EXPECT_EQ(dialog.choice(), CMediaOpenDialog::kDisk);
    EXPECT_EQ(dialog.windowTitle(), Ui(104));
    EXPECT_EQ(dialog.findChild<QRadioButton*>("1029")->text(), Ui(111));
    EXPECT_EQ(dialog.findChild<QRadioButton*>("1030")->text(), Ui(113));
    EXPECT_EQ(dialog.findChild<QRadioButton*>("1031")->text(), Ui(112));
    auto* drives = dialog.findChild<QComboBox*>("1033");
    ASSERT_EQ(drives->count(), 2);
    EXPECT_EQ(drives->itemText(0), "/    [System]");
    EXPECT_EQ(drives->currentText(), "/media/cdrom");

    QTimer::singleShot(0, &dialog, &CMediaOpenDialog::accept);
    ASSERT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(dialog.choice(), CMediaOpenDialog::kDisk);
    EXPECT_EQ(dialog.drive(), "/media/cdrom");
    EXPECT_TRUE(dialog.file_path().isEmpty()) << "no file was browsed";
}

TEST_F(MediaOpenDialogTest, FolderChoiceWithoutBrowsingReturnsTheSavedFolder) {
    {
        CQorSettings earlier(ini);
        earlier.WriteFolder(card.string());
    }
    CQorSettings settings(ini);
    CMediaOpenDialog dialog(nullptr, &settings, &volumes);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("1035")->text(), QString::fromStdString(card.string()));
    dialog.findChild<QRadioButton*>("1031")->setChecked(true);
    dialog.accept();
    EXPECT_EQ(dialog.choice(), CMediaOpenDialog::kFolder);
    EXPECT_EQ(dialog.folder_path(), QString::fromStdString(card.string()));
}

TEST_F(MediaOpenDialogTest, BrowsingAFileSwitchesToFile) {
    const fs::path clip = card / "EMER180501_120000.MOV";
    std::ofstream(clip) << "x";
    CQorSettings settings(ini);
    CMediaOpenDialog dialog(nullptr, &settings, &volumes);
    ChooseInBrowser(QString::fromStdString(clip.string()));
    dialog.BrowseFile();
    EXPECT_EQ(dialog.file_path(), QString::fromStdString(clip.string()));
    EXPECT_EQ(dialog.findChild<QLineEdit*>("1034")->text(), dialog.file_path());
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("1030")->isChecked());
    dialog.accept();
    EXPECT_EQ(dialog.choice(), CMediaOpenDialog::kFile);
}

TEST_F(MediaOpenDialogTest, BrowsingAFolderSavesItAndSwitchesToFolder) {
    CQorSettings settings(ini);
    CMediaOpenDialog dialog(nullptr, &settings, &volumes);
    WhenBrowserOpens([this](QFileDialog* browser) {
        EXPECT_EQ(browser->windowTitle(), Ui(130));
        browser->selectFile(QString::fromStdString(card.string()));
        static_cast<QDialog*>(browser)->accept();  // runs the browser's own checks
    });
    dialog.BrowseFolder();
    const QString chosen = QString::fromStdString(card.string());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("1035")->text(), chosen);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("1031")->isChecked());
    EXPECT_EQ(CQorSettings(ini).ReadFolder(), card.string());
    dialog.accept();
    EXPECT_EQ(dialog.choice(), CMediaOpenDialog::kFolder);
    EXPECT_EQ(dialog.folder_path(), chosen);
}

TEST_F(MediaOpenDialogTest, CancelledFolderBrowserChangesNothing) {
    CQorSettings settings(ini);
    settings.WriteFolder(card.string());
    const auto before = fs::last_write_time(ini);
    CMediaOpenDialog dialog(nullptr, &settings, &volumes);
    WhenBrowserOpens([](QFileDialog* browser) { browser->reject(); });
    dialog.BrowseFolder();
    EXPECT_TRUE(dialog.findChild<QRadioButton*>("1029")->isChecked());
    EXPECT_EQ(CQorSettings(ini).ReadFolder(), card.string());
    EXPECT_EQ(fs::last_write_time(ini), before);
}

TEST_F(MediaOpenDialogTest, FolderPickerStartsAtInitialFolderAndReportsCancel) {
    CFolderDialog picker(nullptr, "Pick", QString::fromStdString(card.string()));
    WhenBrowserOpens([this](QFileDialog* browser) {
        EXPECT_EQ(browser->directory().absolutePath(), QString::fromStdString(card.string()));
        browser->reject();
    });
    EXPECT_EQ(picker.DoModal(), CFolderDialog::kCancelled);

    CFolderDialog chooser(nullptr, "Pick", QString::fromStdString(card.string()));
    ChooseInBrowser(QString::fromStdString(card.string()));
    ASSERT_EQ(chooser.DoModal(), CFolderDialog::kChosen);
    EXPECT_EQ(chooser.GetFolderPath(), QString::fromStdString(card.string()));
}

}  // namespace
}  // namespace orvo
