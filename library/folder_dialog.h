#pragma once

#include <QString>

class QWidget;

namespace orvo {

// The folder picker: the platform's folder browser opened at an initial
// folder. Returns 1 with the chosen folder's path, -1 when a folder was
// chosen that has no file-system path, 2 when the user cancelled. A typed
// name that is not a folder is refused by the browser, which stays open.
class CFolderDialog {
public:
    static constexpr int kChosen = 1;
    static constexpr int kNoPath = -1;
    static constexpr int kCancelled = 2;

    CFolderDialog(QWidget* parent, QString title, QString initial_folder = QString());
    virtual ~CFolderDialog() = default;

    virtual int DoModal();

    // Valid after DoModal returned 1.
    const QString& GetFolderPath() const { return selected_path_; }

private:
    QWidget* parent_;
    QString title_;
    QString initial_folder_;
    QString selected_path_;
};

}  // namespace orvo
