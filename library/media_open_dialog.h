#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orvo {

class CQorSettings;

// One mounted volume as the drive list sees it.
struct VolumeEntry {
    QString root;
    QString label;
    QString file_system;
    bool removable = false;  // a card or stick, listed first
};

// One line of the drive list: its text and the root it stands for.
struct DriveListItem {
    QString text;
    QString root;
    bool removable = false;
};

// The drive list's lines for the given volumes: network file systems are
// left out; each line is "<root>    [<label>]", or the root alone when the
// label is empty; removable volumes first, each part sorted by text.
QList<DriveListItem> BuildDriveList(const QList<VolumeEntry>& volumes);
// The line the list starts on: the first removable volume (the card), else
// the last line; -1 for an empty list.
int InitialDriveIndex(const QList<DriveListItem>& items);
// The mounted volumes of this machine a user would pick (see UserVolumes).
QList<VolumeEntry> MountedVolumes();

// Asks where the recordings are: a whole volume (Disk), one file or a
// folder. After OK the owner reads the choice and the paths.
class CMediaOpenDialog : public QDialog {
    Q_OBJECT

public:
    enum Choice { kDisk = 0, kFile = 1, kFolder = 2 };

    // The settings object holding the last folder; the process-wide one when
    // null. `volumes` replaces the machine's volumes (for tests).
    explicit CMediaOpenDialog(QWidget* parent = nullptr, CQorSettings* settings = nullptr,
                              const QList<VolumeEntry>* volumes = nullptr);

    int DoModal() { return exec(); }

    int choice() const { return choice_; }
    QString drive() const { return drive_; }
    QString file_path() const { return file_path_; }
    QString folder_path() const { return folder_path_; }

    // The browse buttons' actions, also for tests.
    void BrowseFile();
    void BrowseFolder();

public Q_SLOTS:
    void accept() override;

private:
    void Check(Choice choice);
    void PlaceControls();
    CQorSettings& Settings() const;

    CQorSettings* settings_;
    int choice_ = kDisk;
    QString drive_;
    QString file_path_;
    QString folder_path_;

    QButtonGroup* radios_ = nullptr;
    QRadioButton* disk_radio_ = nullptr;
    QRadioButton* file_radio_ = nullptr;
    QRadioButton* folder_radio_ = nullptr;
    QComboBox* drive_list_ = nullptr;
    QLineEdit* file_box_ = nullptr;
    QLineEdit* folder_box_ = nullptr;
    QPushButton* file_browse_ = nullptr;
    QPushButton* folder_browse_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace orvo
