#include "config/pel_config_dlg.h"

#include <algorithm>

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "app/qor_settings.h"
#include "app/ui_strings.h"
#include "app/window_message_event.h"
#include "app/window_messages.h"
#include "controls/dialog_units.h"

namespace orvo {

namespace {

// The dialog's template, in dialog units.
constexpr TemplateRect kDialogSize{0, 0, 357, 116};
constexpr TemplateRect kMapGroup{6, 3, 101, 83};
constexpr TemplateRect kMapList{22, 23, 74, 17};
constexpr TemplateRect kMapApply{29, 55, 50, 14};
constexpr TemplateRect kLanguageGroup{117, 3, 101, 83};
constexpr TemplateRect kLanguageList{135, 23, 66, 16};
constexpr TemplateRect kLanguageApply{143, 55, 50, 14};
constexpr TemplateRect kTilesGroup{228, 3, 122, 83};
constexpr TemplateRect kTilesFile{236, 15, 106, 26};
constexpr TemplateRect kTilesChoose{236, 45, 106, 14};
constexpr TemplateRect kTilesOnline{236, 63, 106, 14};
constexpr TemplateRect kOk{245, 95, 50, 14};
constexpr TemplateRect kCancel{300, 95, 50, 14};

constexpr int kStringMapName = 105;  // "Google Map"
constexpr int kStringOk = 107;
constexpr int kStringCancel = 108;
constexpr int kStringApply = 109;
constexpr int kStringTitle = 110;
constexpr int kStringSelectLanguage = 114;
constexpr int kStringSelectMap = 115;
constexpr int kStringWarning = 131;
constexpr int kStringOfflineMap = 290;
constexpr int kStringOnlineTiles = 291;
constexpr int kStringChooseFile = 292;
constexpr int kStringUseOnline = 293;
constexpr int kStringFileRefused = 294;
constexpr int kStringCannotOpen = 295;
constexpr int kStringNoTiles = 296;
constexpr int kStringVectorTiles = 297;
constexpr int kStringChooseTitle = 298;
constexpr int kStringFileFilter = 299;

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

}  // namespace

CPelConfigDlg::CPelConfigDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("147"));
    QFont font = this->font();
    font.setPointSize(9);
    setFont(font);

    // Group boxes first, so the lists and buttons inside them stack above.
    map_group_ = new QGroupBox(this);
    map_group_->setObjectName(QString::number(kIdcMapGroup));
    map_list_ = new QComboBox(this);
    map_list_->setObjectName(QString::number(kIdcMapList));
    map_apply_ = new QPushButton(this);
    map_apply_->setObjectName(QString::number(kIdcMapApply));
    map_apply_->setAutoDefault(false);
    language_group_ = new QGroupBox(this);
    language_group_->setObjectName(QString::number(kIdcLanguageGroup));
    language_list_ = new QComboBox(this);
    language_list_->setObjectName(QString::number(kIdcLanguageList));
    language_apply_ = new QPushButton(this);
    language_apply_->setObjectName(QString::number(kIdcLanguageApply));
    language_apply_->setAutoDefault(false);
    ok_ = new QPushButton(this);
    ok_->setObjectName(QString::number(kIdcConfigOk));
    ok_->setDefault(true);
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QString::number(kIdcConfigCancel));
    cancel_->setAutoDefault(false);
    tiles_group_ = new QGroupBox(this);
    tiles_group_->setObjectName(QString::number(kIdcTilesGroup));
    tiles_file_ = new QLabel(this);
    tiles_file_->setObjectName(QString::number(kIdcTilesFile));
    tiles_file_->setWordWrap(true);
    tiles_choose_ = new QPushButton(this);
    tiles_choose_->setObjectName(QString::number(kIdcTilesChoose));
    tiles_choose_->setAutoDefault(false);
    tiles_online_ = new QPushButton(this);
    tiles_online_->setObjectName(QString::number(kIdcTilesOnline));
    tiles_online_->setAutoDefault(false);

    connect(map_apply_, &QPushButton::clicked, this, &CPelConfigDlg::OnMapApply);
    connect(language_apply_, &QPushButton::clicked, this, &CPelConfigDlg::OnLanguageApply);
    connect(ok_, &QPushButton::clicked, this, &CPelConfigDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CPelConfigDlg::reject);
    connect(tiles_choose_, &QPushButton::clicked, this, &CPelConfigDlg::OnChooseMapFile);
    connect(tiles_online_, &QPushButton::clicked, this, &CPelConfigDlg::OnUseOnlineMap);

    // The language names stay in their own language whatever is current.
    for (int row = 0; row < kLanguageCount; ++row) {
        const char* name = CQorSettings::DisplayNameOf(CQorSettings::CodeOf(row));
        language_list_->addItem(QString::fromUtf8(name != nullptr ? name : ""));
    }
    map_list_->clear();
    map_list_->addItem(Ui(kStringMapName));
    language_list_->setCurrentIndex(CQorSettings::Instance().language_index());
    SetTexts();
    ReadMapChoice();
    PlaceControls();
}

void CPelConfigDlg::SetTexts() {
    setWindowTitle(Ui(kStringTitle));
    map_group_->setTitle(Ui(kStringSelectMap));
    map_apply_->setText(Ui(kStringApply));
    language_group_->setTitle(Ui(kStringSelectLanguage));
    language_apply_->setText(Ui(kStringApply));
    ok_->setText(Ui(kStringOk));
    cancel_->setText(Ui(kStringCancel));
    tiles_group_->setTitle(Ui(kStringOfflineMap));
    tiles_choose_->setText(Ui(kStringChooseFile));
    tiles_online_->setText(Ui(kStringUseOnline));
    ShowMapFile();
}

void CPelConfigDlg::ShowMapFile() {
    const QString path = QString::fromStdString(CQorSettings::Instance().ReadMapTiles());
    tiles_file_->setText(path.isEmpty() ? Ui(kStringOnlineTiles) : QFileInfo(path).fileName());
    tiles_file_->setToolTip(path);
}

void CPelConfigDlg::ReadMapChoice() {
    // ReadMap clamps whatever is stored to the one provider there is.
    CQorSettings::Instance().ReadMap();
    map_list_->setCurrentIndex(0);
}

void CPelConfigDlg::PlaceControls() {
    const CDialogUnits units(font());
    units.Place(map_group_, kMapGroup);
    units.Place(map_list_, kMapList);
    units.Place(map_apply_, kMapApply);
    units.Place(language_group_, kLanguageGroup);
    units.Place(language_list_, kLanguageList);
    units.Place(language_apply_, kLanguageApply);
    units.Place(tiles_group_, kTilesGroup);
    units.Place(tiles_file_, kTilesFile);
    units.Place(tiles_choose_, kTilesChoose);
    units.Place(tiles_online_, kTilesOnline);
    units.Place(ok_, kOk);
    units.Place(cancel_, kCancel);
    // The drop-downs need at least their own height to show the text.
    for (QComboBox* list : {map_list_, language_list_}) {
        list->resize(list->width(), std::max(list->height(), list->sizeHint().height()));
    }
    setFixedSize(units.ToPixels(kDialogSize).size());
}

void CPelConfigDlg::PostToParent(unsigned message, std::uintptr_t wparam) {
    if (QWidget* target = parentWidget()) {
        QCoreApplication::postEvent(target, new CWindowMessageEvent(message, wparam));
    }
}

void CPelConfigDlg::OnMapApply() {
    // There is one provider; the list's selection has nothing to choose.
    map_provider_ = 0;
    CQorSettings& settings = CQorSettings::Instance();
    settings.WriteInt("UI", "MAP", 0);
    settings.ReadMap();
    PostToParent(WM_MAP_CHANGED, static_cast<std::uintptr_t>(map_provider_));
}

void CPelConfigDlg::OnLanguageApply() {
    const int index = language_list_->currentIndex();
    // An index outside the table (no selection) changes and writes nothing.
    CQorSettings::Instance().SetLanguage(index);
    SetTexts();
    PostToParent(WM_LANGUAGE_CHANGED,
                 static_cast<std::uintptr_t>(static_cast<std::intptr_t>(index)));
}

MbtilesStatus CPelConfigDlg::ApplyMapFile(const QString& path) {
    // Opened once here, so a file that cannot serve tiles is refused now
    // and not silently replaced by online tiles later.
    CMbtilesReader reader;
    const MbtilesStatus status = reader.Open(QFile::encodeName(path).toStdString());
    if (status != MbtilesStatus::kOk) return status;
    CQorSettings::Instance().WriteMapTiles(QFile::encodeName(path).toStdString());
    ShowMapFile();
    PostToParent(WM_MAP_CHANGED, static_cast<std::uintptr_t>(map_provider_));
    return status;
}

void CPelConfigDlg::OnUseOnlineMap() {
    CQorSettings::Instance().WriteMapTiles("");
    ShowMapFile();
    PostToParent(WM_MAP_CHANGED, static_cast<std::uintptr_t>(map_provider_));
}

void CPelConfigDlg::OnChooseMapFile() {
    const QString current = QString::fromStdString(CQorSettings::Instance().ReadMapTiles());
    const QString path = QFileDialog::getOpenFileName(
        this, Ui(kStringChooseTitle), current.isEmpty() ? QString() : QFileInfo(current).path(),
        Ui(kStringFileFilter));
    if (path.isEmpty()) return;
    const MbtilesStatus status = ApplyMapFile(path);
    if (status == MbtilesStatus::kOk) return;
    int reason = kStringCannotOpen;
    if (status == MbtilesStatus::kNoTiles || status == MbtilesStatus::kNotMbtiles) {
        reason = kStringNoTiles;
    } else if (status == MbtilesStatus::kVectorTiles) {
        reason = kStringVectorTiles;
    }
    QMessageBox::warning(this, Ui(kStringWarning),
                         Ui(kStringFileRefused) + QStringLiteral("\n") + Ui(reason));
}

void CPelConfigDlg::accept() {
    OnMapApply();
    const int index = language_list_->currentIndex();
    CQorSettings::Instance().SetLanguage(index);
    SetTexts();
    ReadMapChoice();
    PostToParent(WM_LANGUAGE_CHANGED,
                 static_cast<std::uintptr_t>(static_cast<std::intptr_t>(index)));
    QDialog::accept();
}

}  // namespace orvo
