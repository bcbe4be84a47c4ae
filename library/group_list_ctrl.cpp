#include "library/group_list_ctrl.h"

#include <QHeaderView>

#include "app/window_messages.h"
#include "library/list_row_text.h"

namespace orvo {

namespace {

constexpr int kImageIndexRole = Qt::UserRole;

}  // namespace

CQorGroupListCtrl::CQorGroupListCtrl(QWidget* parent) : CQorRowListCtrl(WM_GROUP_CLICKED, parent) {
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

bool CQorGroupListCtrl::IsRowChecked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->checkState(0) == Qt::Checked;
}

void CQorGroupListCtrl::SetRowChecked(int row, bool checked) {
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

int CQorGroupListCtrl::ImageIndexOfRow(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->data(0, kImageIndexRole).toInt() : -1;
}

}  // namespace orvo
