#pragma once

#include <QDialog>

class QLabel;

namespace orvo {

// The about box: title from the string table, the version line and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    static QString VersionText();  // "Version 1.1.92"

private:
    QLabel* version_ = nullptr;
};

}  // namespace orvo
