#include "app/about_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/control_ids.h"
#include "app/menu_text.h"
#include "app/ui_strings.h"
#include "app/version.h"
#include "controls/gdi_plus_bitmap.h"

namespace orvo {

namespace {

constexpr int kIconId = 128;

}  // namespace

QString CAboutDlg::VersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(kOrvoVersionMajor)
        .arg(kOrvoVersionMinor)
        .arg(kOrvoVersionPatch);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    // String 101 is the menu text of this command; a title shows no mnemonic.
    setWindowTitle(QString::fromStdString(MenuTextAsTitle(LoadUiString(101))));
    auto* icon = new QLabel(this);
    CGdiPlusBitmapResource image;
    if (image.Load(kIconId))
        icon->setPixmap(QPixmap::fromImage(image.image())
                            .scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    version_ = new QLabel(VersionText(), this);
    version_->setObjectName(ControlName(kIdcAboutVersion));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(ControlName(kIdcAboutOk));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(version_, 1);
    row->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    setFixedSize(sizeHint().expandedTo(QSize(260, 80)));
}

}  // namespace orvo
