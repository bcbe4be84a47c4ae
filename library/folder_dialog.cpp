#include "library/folder_dialog.h"

#include <utility>

#include <QFileDialog>
#include <QUrl>

namespace orvo {

CFolderDialog::CFolderDialog(QWidget* parent, QString title, QString initial_folder)
    : parent_(parent), title_(std::move(title)), initial_folder_(std::move(initial_folder)) {}

int CFolderDialog::DoModal() {
    QFileDialog browser(parent_, title_);
    browser.setObjectName(QStringLiteral("FolderBrowser"));
    browser.setFileMode(QFileDialog::Directory);
    browser.setOption(QFileDialog::ShowDirsOnly, true);
    browser.setAcceptMode(QFileDialog::AcceptOpen);
    if (!initial_folder_.isEmpty()) browser.setDirectory(initial_folder_);
    if (browser.exec() != QDialog::Accepted) return kCancelled;
    const QList<QUrl> chosen = browser.selectedUrls();
    if (chosen.isEmpty() || !chosen.first().isLocalFile()) return kNoPath;
    selected_path_ = chosen.first().toLocalFile();
    if (selected_path_.isEmpty()) return kNoPath;
    return kChosen;
}

}  // namespace orvo
