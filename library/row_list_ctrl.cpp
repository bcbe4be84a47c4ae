#include "library/row_list_ctrl.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/window_message_send.h"

namespace orvo {

namespace {

// Column 0's user role holds the subclass's own row data.
constexpr int kMarkedRole = Qt::UserRole + 1;

}  // namespace

CQorRowListCtrl::CQorRowListCtrl(unsigned double_click_message, QWidget* parent)
    : QTreeWidget(parent), double_click_message_(double_click_message) {}

QColor CQorRowListCtrl::MarkBackground() {
    return QColor(0x1b, 0x3a, 0x24);
}

QColor CQorRowListCtrl::MarkBar() {
    return QColor(0x4c, 0xd9, 0x64);
}

void CQorRowListCtrl::MarkRow(int row, bool marked) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return;
    item->setData(0, kMarkedRole, marked);
    // Not the highlight colour: a click selects another row in that colour,
    // and the playing row must stay apart from it.
    const QBrush background = marked ? QBrush(MarkBackground()) : QBrush();
    for (int column = 0; column < columnCount(); ++column) {
        item->setBackground(column, background);
        // The list's own font in bold; unmarked rows go back to the list's.
        QFont bold = font();
        bold.setBold(true);
        item->setData(column, Qt::FontRole, marked ? QVariant(bold) : QVariant());
    }
}

bool CQorRowListCtrl::IsRowMarked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->data(0, kMarkedRole).toBool();
}

void CQorRowListCtrl::ScrollToRow(int row) {
    if (QTreeWidgetItem* item = topLevelItem(row)) scrollToItem(item);
}

void CQorRowListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QTreeWidget::drawRow(painter, option, index);
    DrawRowMark(painter, option.rect, index);
}

void CQorRowListCtrl::DrawRowMark(QPainter* painter, const QRect& row,
                                  const QModelIndex& index) const {
    if (!index.siblingAtColumn(0).data(kMarkedRole).toBool()) return;
    painter->fillRect(QRect(row.left(), row.top(), kMarkBarWidth, row.height()), MarkBar());
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
