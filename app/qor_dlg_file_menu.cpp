// The file list's context menu and the keys of the file operations: ticks,
// Play, the Save-as, Unlock, Delete and KML commands, GPX export and the
// recording's folder.
#include <memory>
#include <string>

#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QUrl>

#include "app/control_ids.h"
#include "app/qor_dlg.h"
#include "app/ui_strings.h"
#include "gps/gpx_export.h"
#include "library/documents_folder.h"
#include "library/file_list_ctrl.h"
#include "library/file_operations.h"

namespace orvo {

namespace {

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

QAction* AddAction(QMenu* menu, int text_id, const char* name, bool enabled) {
    QAction* action = menu->addAction(Ui(text_id));
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(enabled);
    return action;
}

}  // namespace

void CQORDlg::InstallFileMenu() {
    connect(file_list_ctrl_, &CQorFileListCtrl::RowTickChanged, this,
            [this](int row, bool ticked) { catalog_.SetTicked(row, ticked); });
    connect(file_list_ctrl_, &CQorFileListCtrl::ContextMenuRequested, this,
            [this](int row, QPoint global) { ShowFileMenu(row, global); });
    const struct {
        QKeySequence keys;
        int command;
    } keys[] = {
        {QKeySequence(Qt::Key_Delete), kIdcDel},
        {QKeySequence(Qt::CTRL | Qt::Key_S), kIdcSave},
    };
    auto* evidence = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this);
    evidence->setContext(Qt::WindowShortcut);
    connect(evidence, &QShortcut::activated, this, [this] { ExportEvidencePackage(); });
    for (const auto& key : keys) {
        auto* shortcut = new QShortcut(key.keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        const int command = key.command;
        connect(shortcut, &QShortcut::activated, this, [this, command] { OnCommand(command); });
    }
}

std::unique_ptr<QMenu> CQORDlg::BuildFileMenu(int row) {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("FileMenu"));
    const bool on_row = row >= 0 && row < catalog_.Count();
    QMenu* m = menu.get();

    connect(AddAction(m, 200, "Play", on_row), &QAction::triggered, this,
            [this, row] { FileClicked(row); });
    const bool ticked = catalog_.IsTicked(row);
    connect(AddAction(m, ticked ? 202 : 201, "Tick", on_row), &QAction::triggered, this,
            [this, row, ticked] { catalog_.SetTicked(row, !ticked); });
    connect(AddAction(m, 203, "TickTrip", on_row), &QAction::triggered, this,
            [this, row] { catalog_.TickGroupOf(row); });
    connect(AddAction(m, 204, "UntickAll", catalog_.TickedCount() > 0), &QAction::triggered, this,
            [this] { catalog_.UntickAll(); });
    m->addSeparator();

    // The commands of the hidden buttons, with their own boxes and texts.
    const struct {
        int text;
        const char* name;
        int command;
    } commands[] = {
        {205, "SaveAs", kIdcSave},
        {206, "Unlock", kIdcLock},
        {207, "Delete", kIdcDel},
    };
    for (const auto& command : commands) {
        const int id = command.command;
        connect(AddAction(m, command.text, command.name, true), &QAction::triggered, this,
                [this, id] { OnCommand(id); });
    }
    m->addSeparator();
    connect(AddAction(m, 208, "ExportKml", on_row), &QAction::triggered, this, [this, row] {
        if (MakeRowCurrent(row)) OnCommand(kIdcKml);
    });
    connect(AddAction(m, 209, "ExportGpx", on_row), &QAction::triggered, this,
            [this, row] { ExportRowGpx(row); });
    AddExportActions(m, row);
    m->addSeparator();
    connect(AddAction(m, 211, "OpenFolder", on_row), &QAction::triggered, this, [this, row] {
        const ClipEntry& entry = catalog_.entries()[static_cast<size_t>(row)];
        QDesktopServices::openUrl(
            QUrl::fromLocalFile(QString::fromStdString(entry.rootFolder + entry.subFolder)));
    });
    return menu;
}

void CQORDlg::AddExportActions(QMenu* menu, int /*row*/) {
    // Exports of packages and clips join the menu here.
    connect(AddAction(menu, 210, "ExportEvidence", true), &QAction::triggered, this,
            [this] { ExportEvidencePackage(); });
    connect(AddAction(menu, 233, "ExportClip", clip_span_.complete()), &QAction::triggered, this,
            [this] { ExportClip(); });
}

void CQORDlg::ShowFileMenu(int row, QPoint global_position) {
    std::unique_ptr<QMenu> menu = BuildFileMenu(row);
    menu->exec(global_position);
}

bool CQORDlg::MakeRowCurrent(int row) {
    if (row < 0 || row >= catalog_.Count()) return false;
    if (row == catalog_.SelectedIndex()) return true;
    // A clip switch in progress would race the cue.
    if (ClipSwitchGuard().load() != 0) return false;
    StopPlayback();
    CueClip(row);
    return true;
}

void CQORDlg::ExportRowGpx(int row) {
    if (!MakeRowCurrent(row)) return;
    const ClipEntry& entry = catalog_.entries()[static_cast<size_t>(row)];
    const std::string documents = DocumentsFolder();
    const QString suggested =
        QString::fromStdString((documents.empty() ? std::string() : documents + "/") +
                               GpxFileName(entry.fileName, entry.info.startTime));
    QFileDialog save(this, Ui(212), suggested, QStringLiteral("GPX (*.gpx *.GPX)"));
    save.setObjectName(QStringLiteral("GpxSaveDialog"));
    save.setAcceptMode(QFileDialog::AcceptSave);
    save.setDefaultSuffix(QStringLiteral("GPX"));
    if (save.exec() != QDialog::Accepted || save.selectedFiles().isEmpty()) return;
    const QString path = save.selectedFiles().first();
    const bool ok =
        WriteFileAtomically(path.toStdString(), GpxDocument(entry.fileName, catalog_.GpsRecords()));
    QString text = Ui(ok ? 213 : 214);
    text.replace(QStringLiteral("%s"), path);
    QMessageBox::information(this, Ui(212), text);
}

}  // namespace orvo
