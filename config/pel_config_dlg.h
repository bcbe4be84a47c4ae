#pragma once

#include <cstdint>

#include <QDialog>

#include "gps/mbtiles_reader.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace orvo {

// Control ids of the configuration dialog (template 147); each widget's
// objectName is its id in decimal.
inline constexpr int kIdcConfigOk = 1;
inline constexpr int kIdcConfigCancel = 2;
inline constexpr int kIdcMapList = 1038;
inline constexpr int kIdcMapApply = 1039;
inline constexpr int kIdcMapGroup = 1040;
inline constexpr int kIdcLanguageGroup = 1041;
inline constexpr int kIdcLanguageList = 1042;
inline constexpr int kIdcLanguageApply = 1043;
// The offline map group, beside the two of the template.
inline constexpr int kIdcTilesGroup = 1290;
inline constexpr int kIdcTilesFile = 1291;
inline constexpr int kIdcTilesChoose = 1292;
inline constexpr int kIdcTilesOnline = 1293;

// The configuration dialog: the map provider and the interface language,
// each with its own "Apply". Applying writes the setting at once and posts
// WM_MAP_CHANGED or WM_LANGUAGE_CHANGED to the parent, so the main window
// follows while the dialog stays open; OK applies both, Cancel keeps what
// was applied. The dialog keeps no state between openings.
class CPelConfigDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPelConfigDlg(QWidget* parent = nullptr);

    int DoModal() { return exec(); }

    // The provider index last applied (the only provider is 0).
    int map_provider() const { return map_provider_; }
    QComboBox* map_list() const { return map_list_; }
    QComboBox* language_list() const { return language_list_; }

    // The buttons' actions, also for tests.
    void OnMapApply();
    void OnLanguageApply();
    void accept() override;  // OK
    // The offline map group: a file is checked before it is kept; kept, it
    // is written as "UI"/"MAP_TILES" and the map reloads (WM_MAP_CHANGED)
    // at once. A file that cannot serve tiles changes nothing.
    MbtilesStatus ApplyMapFile(const QString& path);
    void OnUseOnlineMap();
    QLabel* tiles_file() const { return tiles_file_; }

private:
    void SetTexts();
    void ReadMapChoice();
    void PlaceControls();
    void PostToParent(unsigned message, std::uintptr_t wparam);
    void OnChooseMapFile();
    void ShowMapFile();

    int map_provider_ = 0;
    QComboBox* map_list_ = nullptr;
    QComboBox* language_list_ = nullptr;
    QGroupBox* map_group_ = nullptr;
    QGroupBox* language_group_ = nullptr;
    QPushButton* map_apply_ = nullptr;
    QPushButton* language_apply_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QGroupBox* tiles_group_ = nullptr;
    QLabel* tiles_file_ = nullptr;
    QPushButton* tiles_choose_ = nullptr;
    QPushButton* tiles_online_ = nullptr;
};

}  // namespace orvo
