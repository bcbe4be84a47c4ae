#include "library/row_list_ctrl.h"

#include <QMouseEvent>

#include "controls/window_message_send.h"

namespace orvo {

namespace {

// Column 0's user role holds the subclass's own row data.
constexpr int kMarkedRole = Qt::UserRole + 1;

}  // namespace

CQorRowListCtrl::CQorRowListCtrl(unsigned double_click_message, QWidget* parent)
    : QTreeWidget(parent), double_click_message_(double_click_message) {}

void CQorRowListCtrl::MarkRow(int row, bool marked) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return;
    item->setData(0, kMarkedRole, marked);
    const QBrush background = marked ? palette().brush(QPalette::Highlight) : QBrush();
    for (int column = 0; column < columnCount(); ++column) {
        item->setBackground(column, background);
    }
}

bool CQorRowListCtrl::IsRowMarked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->data(0, kMarkedRole).toBool();
}

void CQorRowListCtrl::ScrollToRow(int row) {
    if (QTreeWidgetItem* item = topLevelItem(row)) scrollToItem(item);
}

void CQorRowListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    const int row = item != nullptr ? indexOfTopLevelItem(item) : -1;
    event->accept();
    SendWindowMessage(target_, double_click_message_, row);
}

}  // namespace orvo
