#include "library/media_open_dialog.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>

#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "controls/dialog_units.h"
#include "library/folder_dialog.h"
#include "library/mount_table.h"

namespace orvo {

namespace {

// The dialog's template, in dialog units.
constexpr TemplateRect kDialogSize{0, 0, 383, 117};
constexpr TemplateRect kDiskRadio{7, 29, 46, 10};
constexpr TemplateRect kDriveList{61, 27, 92, 12};  // closed height of the drop-down
constexpr TemplateRect kFileRadio{8, 52, 45, 10};
constexpr TemplateRect kFileBox{61, 48, 264, 14};
constexpr TemplateRect kFileBrowse{326, 48, 24, 13};
constexpr TemplateRect kFolderRadio{7, 77, 49, 10};
constexpr TemplateRect kFolderBox{61, 73, 264, 14};
constexpr TemplateRect kFolderBrowse{325, 73, 25, 13};
constexpr TemplateRect kOk{272, 96, 50, 14};
constexpr TemplateRect kCancel{326, 96, 50, 14};

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

}  // namespace

QList<DriveListItem> BuildDriveList(const QList<VolumeEntry>& volumes) {
    QList<DriveListItem> items;
    for (const VolumeEntry& volume : volumes) {
        if (volume.root.isEmpty() || IsNetworkFileSystem(volume.file_system.toStdString())) {
            continue;
        }
        DriveListItem item;
        item.root = volume.root;
        item.removable = volume.removable;
        item.text = volume.label.isEmpty()
                        ? volume.root
                        : QStringLiteral("%1    [%2]").arg(volume.root, volume.label.left(32));
        items.push_back(item);
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const DriveListItem& a, const DriveListItem& b) {
                         if (a.removable != b.removable) return a.removable;
                         return QString::compare(a.text, b.text, Qt::CaseSensitive) < 0;
                     });
    return items;
}

int InitialDriveIndex(const QList<DriveListItem>& items) {
    if (!items.isEmpty() && items.front().removable) return 0;
    return static_cast<int>(items.size()) - 1;
}

namespace {

// Without a Linux mount table (another platform), Qt's own list.
QList<VolumeEntry> StorageVolumes() {
    QList<VolumeEntry> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !storage.isReady()) continue;
        volumes.push_back(
            {storage.rootPath(), storage.name(), QString::fromLatin1(storage.fileSystemType())});
    }
    return volumes;
}

}  // namespace

QList<VolumeEntry> MountedVolumes() {
    std::ifstream file("/proc/self/mountinfo");
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (text.empty()) return StorageVolumes();
    QList<VolumeEntry> volumes;
    for (const UserVolume& volume : UserVolumes(ParseMountInfo(text), IsRemovableBlockDevice)) {
        // Containers bind single files (/etc/hosts); only folders are volumes.
        // (Network shares are gone already: a stat of a dead server hangs.)
        std::error_code error;
        if (!std::filesystem::is_directory(volume.mount_point, error)) continue;
        const QString root = QString::fromStdString(volume.mount_point);
        const QStorageInfo storage(root);
        volumes.push_back({root, storage.isValid() ? storage.name() : QString(),
                           QString::fromStdString(volume.file_system), volume.removable});
    }
    return volumes;
}

CMediaOpenDialog::CMediaOpenDialog(QWidget* parent, CQorSettings* settings,
                                   const QList<VolumeEntry>* volumes)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("146"));
    QFont font = this->font();
    font.setPointSize(9);
    setFont(font);

    disk_radio_ = new QRadioButton(this);
    disk_radio_->setObjectName(QStringLiteral("1029"));
    drive_list_ = new QComboBox(this);
    drive_list_->setObjectName(QStringLiteral("1033"));
    file_radio_ = new QRadioButton(this);
    file_radio_->setObjectName(QStringLiteral("1030"));
    file_box_ = new QLineEdit(this);
    file_box_->setObjectName(QStringLiteral("1034"));
    file_box_->setReadOnly(true);
    file_browse_ = new QPushButton(QStringLiteral("..."), this);
    file_browse_->setObjectName(QStringLiteral("1036"));
    file_browse_->setAutoDefault(false);
    folder_radio_ = new QRadioButton(this);
    folder_radio_->setObjectName(QStringLiteral("1031"));
    folder_box_ = new QLineEdit(this);
    folder_box_->setObjectName(QStringLiteral("1035"));
    folder_box_->setReadOnly(true);
    folder_browse_ = new QPushButton(QStringLiteral("..."), this);
    folder_browse_->setObjectName(QStringLiteral("1037"));
    folder_browse_->setAutoDefault(false);
    ok_ = new QPushButton(this);
    ok_->setObjectName(QStringLiteral("1"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QStringLiteral("2"));
    cancel_->setAutoDefault(false);

    radios_ = new QButtonGroup(this);
    radios_->addButton(disk_radio_, kDisk);
    radios_->addButton(file_radio_, kFile);
    radios_->addButton(folder_radio_, kFolder);

    connect(file_browse_, &QPushButton::clicked, this, &CMediaOpenDialog::BrowseFile);
    connect(folder_browse_, &QPushButton::clicked, this, &CMediaOpenDialog::BrowseFolder);
    connect(ok_, &QPushButton::clicked, this, &CMediaOpenDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &CMediaOpenDialog::reject);

    Check(kDisk);
    setWindowTitle(Ui(104));
    disk_radio_->setText(Ui(111));
    file_radio_->setText(Ui(113));
    folder_radio_->setText(Ui(112));
    ok_->setText(Ui(107));
    cancel_->setText(Ui(108));

    drive_list_->clear();
    const QList<DriveListItem> drives = BuildDriveList(volumes ? *volumes : MountedVolumes());
    for (const DriveListItem& drive : drives) drive_list_->addItem(drive.text, drive.root);
    drive_list_->setCurrentIndex(InitialDriveIndex(drives));

    folder_box_->setText(QString::fromStdString(Settings().ReadFolder()));
    PlaceControls();
}

CQorSettings& CMediaOpenDialog::Settings() const {
    return settings_ != nullptr ? *settings_ : CQorSettings::Instance();
}

void CMediaOpenDialog::Check(Choice choice) {
    radios_->button(choice)->setChecked(true);
    choice_ = radios_->checkedId();
}

void CMediaOpenDialog::PlaceControls() {
    const CDialogUnits units(font());
    units.Place(disk_radio_, kDiskRadio);
    units.Place(drive_list_, kDriveList);
    units.Place(file_radio_, kFileRadio);
    units.Place(file_box_, kFileBox);
    units.Place(file_browse_, kFileBrowse);
    units.Place(folder_radio_, kFolderRadio);
    units.Place(folder_box_, kFolderBox);
    units.Place(folder_browse_, kFolderBrowse);
    units.Place(ok_, kOk);
    units.Place(cancel_, kCancel);
    setFixedSize(units.ToPixels(kDialogSize).size());
}

void CMediaOpenDialog::BrowseFile() {
    QFileDialog browser(this);
    browser.setObjectName(QStringLiteral("FileBrowser"));
    browser.setFileMode(QFileDialog::ExistingFile);
    browser.setAcceptMode(QFileDialog::AcceptOpen);
    if (browser.exec() != QDialog::Accepted) return;
    const QStringList chosen = browser.selectedFiles();
    if (chosen.isEmpty()) return;
    file_path_ = chosen.first();
    file_box_->setText(file_path_);
    Check(kFile);
}

void CMediaOpenDialog::BrowseFolder() {
    const QString saved = QString::fromStdString(Settings().ReadFolder());
    CFolderDialog picker(this, Ui(130), saved);
    if (picker.DoModal() != CFolderDialog::kChosen) return;
    folder_path_ = picker.GetFolderPath();
    Check(kFolder);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(folder_path_.toStdString()), error)) {
        folder_path_.clear();
    }
    // OK takes the box's text, so the box shows what will be returned.
    folder_box_->setText(folder_path_);
    Settings().WriteFolder(folder_path_.toStdString());
}

void CMediaOpenDialog::accept() {
    choice_ = radios_->checkedId();
    drive_ = drive_list_->currentIndex() >= 0 ? drive_list_->currentData().toString() : QString();
    folder_path_ = folder_box_->text();
    QDialog::accept();
}

}  // namespace orvo
