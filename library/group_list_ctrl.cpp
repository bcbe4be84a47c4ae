#include "library/group_list_ctrl.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "app/window_messages.h"
#include "controls/window_message_send.h"
#include "library/list_row_text.h"

namespace orvo {

namespace {

constexpr int kImageIndexRole = Qt::UserRole;
constexpr int kMarkedRole = Qt::UserRole + 1;

}  // namespace

CQorGroupListCtrl::CQorGroupListCtrl(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("1028"));
    setColumnCount(kColumnCount);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int CQorGroupListCtrl::AddGroup(int group_number, const std::string& picture_size,
                                uint64_t total_duration_ms, uint64_t total_size, int image_index,
                                int64_t start_time) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QStringLiteral("G%1").arg(group_number));
    item->setText(1, QString::fromStdString(picture_size));
    item->setText(2, QString::fromStdString(GroupStartTimeText(start_time)));
    item->setText(3, QString::fromStdString(GroupDurationText(total_duration_ms)));
    item->setText(4, QString::fromStdString(GroupSizeText(total_size)));
    item->setData(0, kImageIndexRole, image_index);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    addTopLevelItem(item);
    return 1;
}

void CQorGroupListCtrl::DeleteAllItems() {
    clear();
}

bool CQorGroupListCtrl::IsRowChecked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->checkState(0) == Qt::Checked;
}

void CQorGroupListCtrl::SetRowChecked(int row, bool checked) {
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void CQorGroupListCtrl::SetRowMarked(int row, bool marked) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return;
    item->setData(0, kMarkedRole, marked);
    const QBrush background = marked ? palette().brush(QPalette::Highlight) : QBrush();
    for (int column = 0; column < kColumnCount; ++column) {
        item->setBackground(column, background);
    }
}

bool CQorGroupListCtrl::IsRowMarked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->data(0, kMarkedRole).toBool();
}

int CQorGroupListCtrl::ImageIndexOfRow(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->data(0, kImageIndexRole).toInt() : -1;
}

void CQorGroupListCtrl::EnsureRowVisible(int row) {
    if (QTreeWidgetItem* item = topLevelItem(row)) scrollToItem(item);
}

void CQorGroupListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    const int row = item != nullptr ? indexOfTopLevelItem(item) : -1;
    event->accept();
    SendWindowMessage(target_, WM_GROUP_CLICKED, row);
}

}  // namespace orvo
