#include "library/file_list_ctrl.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "app/ui_strings.h"
#include "app/window_messages.h"
#include "controls/window_message_send.h"
#include "library/list_row_text.h"

namespace orvo {

namespace {

constexpr int kEntryIndexRole = Qt::UserRole;
// The tick last reported or set, so changes of other item data (texts, the
// row mark) are not taken for a click on the box.
constexpr int kTickRole = Qt::UserRole + 12;
constexpr int kIncidentRole = Qt::UserRole + 20;
constexpr int kTypeColumn = 2;

constexpr int kHeadingIds[CQorFileListCtrl::kColumnCount] = {151, 122, 152};
constexpr int kWidthPercent[CQorFileListCtrl::kColumnCount] = {32, 38, 24};

const QColor kCellBorder(0x20, 0x20, 0x20);
// Rows whose top lies at or above this client y sit under the heading.
constexpr int kHeadingBottom = 23;

// A small orange warning sign, drawn once.
const QIcon& IncidentIcon() {
    static const QIcon icon = [] {
        QPixmap picture(12, 12);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPointF corners[3] = {QPointF(6, 0.5), QPointF(11.5, 11), QPointF(0.5, 11)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xFF, 0x9A, 0x1F));
        painter.drawPolygon(corners, 3);
        painter.setPen(QPen(Qt::black, 1.6));
        painter.drawLine(QPointF(6, 4), QPointF(6, 7.5));
        painter.drawPoint(QPointF(6, 9.5));
        return QIcon(picture);
    }();
    return icon;
}

QString Ui(int id) {
    return QString::fromStdString(LoadUiString(id));
}

// The list's delegate, with the option set-up it paints from made public so
// the elision test measures exactly what is drawn.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::initStyleOption;
    using QStyledItemDelegate::QStyledItemDelegate;
};

// The catalogue sorts column 0 by the time key (characters 4..16 of the
// name) and columns 1 and 2 by the name; the rows are ordered by the same
// keys so that row i stays catalogue row i after a heading click.
QString SortKey(const QTreeWidgetItem* item, int column) {
    const QString name = item->text(1);
    return column == 0 ? name.mid(4, 13) : name;
}

}  // namespace

CQorFileListCtrl::CQorFileListCtrl(QWidget* parent)
    : CQorRowListCtrl(WM_FILE_CLICKED, parent),
      widths_(std::vector<int>(std::begin(kWidthPercent), std::end(kWidthPercent))) {
    setObjectName(QStringLiteral("1027"));
    setItemDelegate(new CellDelegate(this));
    setColumnCount(kColumnCount);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    header()->viewport()->installEventFilter(this);
    connect(header(), &QHeaderView::sectionClicked, this, &CQorFileListCtrl::SortByColumn);
    connect(this, &QTreeWidget::itemChanged, this, &CQorFileListCtrl::ReportTick);
    connect(header(), &QHeaderView::sectionResized, this,
            [this](int column, int /*old_width*/, int new_width) {
                RememberUserWidth(column, new_width);
            });
}

int CQorFileListCtrl::SetupStyle() {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::AlternateBase, Qt::black);
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::Text, Qt::white);
    setPalette(colours);
    viewport()->setAutoFillBackground(true);
    // The small dialog font of the window, so the time text fits its column
    // in the narrow right pane.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    // The tick boxes drawn light on the black rows, so they can be seen.
    setStyleSheet(QStringLiteral(
        "QTreeView::indicator { width: 10px; height: 10px; border: 1px solid #b0b0b0;"
        " background: #101010; }"
        "QTreeView::indicator:checked { background: #3a8ee6; border: 1px solid #e0e0e0; }"));
    return 1;
}

int CQorFileListCtrl::SetupColumns() {
    QStringList headings;
    for (int id : kHeadingIds) headings << Ui(id);
    setHeaderLabels(headings);
    ApplyColumnWidths();
    for (int column = 0; column < kColumnCount; ++column) {
        headerItem()->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
    }
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(true);
    ShowSortMark(0, SortMark::kDown);
    sort_column_ = 0;
    ascending_ = false;
    return 1;
}

void CQorFileListCtrl::RefreshHeadings() {
    for (int column = 0; column < kColumnCount; ++column) {
        headerItem()->setText(column, Ui(kHeadingIds[column]));
    }
}

void CQorFileListCtrl::ApplyColumnWidths() {
    const std::vector<int> widths = widths_.For(width());
    applying_widths_ = true;
    for (int column = 0; column < kColumnCount; ++column) {
        setColumnWidth(column, widths[static_cast<size_t>(column)]);
    }
    applying_widths_ = false;
}

void CQorFileListCtrl::RememberUserWidth(int column, int width) {
    if (heading_pressed_ && !applying_widths_) widths_.SetByUser(column, width);
}

bool CQorFileListCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header()->viewport()) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                heading_pressed_ = true;
                break;
            case QEvent::MouseButtonRelease:
                // Once the heading has handled the release too.
                if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
                    QMetaObject::invokeMethod(
                        this, [this] { heading_pressed_ = false; }, Qt::QueuedConnection);
                }
                break;
            default:
                break;
        }
    }
    return CQorRowListCtrl::eventFilter(watched, event);
}

void CQorFileListCtrl::resizeEvent(QResizeEvent* event) {
    CQorRowListCtrl::resizeEvent(event);
    ApplyColumnWidths();
}

void CQorFileListCtrl::SetRowToolTipSource(std::function<QString(int row)> source) {
    tip_source_ = std::move(source);
}

bool CQorFileListCtrl::IsTextElided(const QFontMetrics& metrics, const QString& text, int room) {
    return metrics.horizontalAdvance(text) > room;
}

int CQorFileListCtrl::TextRoom(const QModelIndex& index, QFontMetrics* metrics) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    static_cast<CellDelegate*>(itemDelegate())->initStyleOption(&option, index);
    *metrics = option.fontMetrics;
    // The style draws the text inside its text rectangle less a focus-frame
    // margin (+1) on each side, and elides what is wider.
    const QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, this) + 1;
    return text.width() - 2 * margin;
}

bool CQorFileListCtrl::IsCellElided(int row, int column) const {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr || column < 0 || column >= kColumnCount) return false;
    QFontMetrics metrics(font());
    const int room = TextRoom(indexFromItem(item, column), &metrics);
    return IsTextElided(metrics, item->text(column), room);
}

QString CQorFileListCtrl::ToolTipOfCell(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return {};
    const std::string cell = IsCellElided(row, column) ? item->text(column).toStdString() : "";
    const std::string note = tip_source_ ? tip_source_(row).toStdString() : "";
    return QString::fromStdString(RowToolTipText(cell, note));
}

bool CQorFileListCtrl::ShowToolTip(const QPoint& position, const QPoint& global_position) {
    const QModelIndex index = indexAt(position);
    if (!index.isValid()) {
        tip_row_ = -1;
        return false;
    }
    tip_row_ = index.row();
    tip_column_ = index.column();
    tip_position_ = global_position;
    const QString text = ToolTipOfCell(tip_row_, tip_column_);
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        // Bound to the cell, so moving to the next cell asks again.
        QToolTip::showText(global_position, text, viewport(), visualRect(index));
    }
    return true;
}

void CQorFileListCtrl::RefreshToolTip() {
    if (tip_row_ < 0 || !QToolTip::isVisible()) return;
    if (topLevelItem(tip_row_) == nullptr) return;
    const QString text = ToolTipOfCell(tip_row_, tip_column_);
    if (text.isEmpty() || text == QToolTip::text()) return;
    const QModelIndex index = indexFromItem(topLevelItem(tip_row_), tip_column_);
    QToolTip::showText(tip_position_, text, viewport(), visualRect(index));
}

bool CQorFileListCtrl::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        // Outside the rows the list's own tooltip (the skipped files) shows.
        if (ShowToolTip(help->pos(), help->globalPos())) return true;
        if (toolTip().isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), toolTip(), viewport());
        }
        return true;
    }
    return CQorRowListCtrl::viewportEvent(event);
}

int CQorFileListCtrl::AddFile(int entry_index, const std::string& /*folder*/,
                              const std::string& file_name, const ClipInfo& /*info*/) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(FileTimeText(file_name)));
    item->setText(1, QString::fromStdString(file_name));
    item->setText(2, Ui(FileTypeStringId(file_name)));
    item->setData(0, kEntryIndexRole, entry_index);
    item->setData(0, kTickRole, false);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    for (int column = 0; column < kColumnCount; ++column) {
        item->setForeground(column, Qt::white);
        item->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
    }
    addTopLevelItem(item);
    return 1;
}

void CQorFileListCtrl::SetRowTicked(int row, bool ticked) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) return;
    const QSignalBlocker quiet(this);
    item->setData(0, kTickRole, ticked);
    item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

bool CQorFileListCtrl::IsRowTicked(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->checkState(0) == Qt::Checked;
}

void CQorFileListCtrl::ReportTick(QTreeWidgetItem* item, int column) {
    if (column != 0 || item == nullptr) return;
    const bool ticked = item->checkState(0) == Qt::Checked;
    if (item->data(0, kTickRole).toBool() == ticked) return;
    item->setData(0, kTickRole, ticked);
    Q_EMIT RowTickChanged(indexOfTopLevelItem(item), ticked);
}

void CQorFileListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item = nullptr;
    QPoint global = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        item = itemAt(event->pos());
    } else {
        // The Menu key: the current row, else the marked (playing) one.
        item = currentItem();
        for (int row = 0; item == nullptr && row < topLevelItemCount(); ++row) {
            if (IsRowMarked(row)) item = topLevelItem(row);
        }
        if (item != nullptr) {
            scrollToItem(item);
            global = viewport()->mapToGlobal(visualItemRect(item).bottomLeft());
        }
    }
    if (item != nullptr) setCurrentItem(item);
    event->accept();
    Q_EMIT ContextMenuRequested(item != nullptr ? indexOfTopLevelItem(item) : -1, global);
}

int CQorFileListCtrl::EntryIndexOfRow(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->data(0, kEntryIndexRole).toInt() : -1;
}

void CQorFileListCtrl::SetIncidentMarks(const std::vector<char>& marked) {
    // A card's scan marks thousands of rows at once: the view is told once
    // for all of them, not twice per row (each telling lays rows out anew).
    bool changed = false;
    {
        const QSignalBlocker quiet(model());
        for (int row = 0; row < topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = topLevelItem(row);
            const int entry = item->data(0, kEntryIndexRole).toInt();
            const bool mark = entry >= 0 && static_cast<size_t>(entry) < marked.size() &&
                              marked[static_cast<size_t>(entry)] != 0;
            if (item->data(kTypeColumn, kIncidentRole).toBool() == mark) continue;
            item->setData(kTypeColumn, kIncidentRole, mark);
            item->setIcon(kTypeColumn, mark ? IncidentIcon() : QIcon());
            changed = true;
        }
    }
    if (!changed) return;
    scheduleDelayedItemsLayout();
    viewport()->update();
}

bool CQorFileListCtrl::HasIncidentMark(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->data(kTypeColumn, kIncidentRole).toBool();
}

CQorFileListCtrl::SortMark CQorFileListCtrl::SortMarkOf(int column) const {
    return column == mark_column_ ? mark_ : SortMark::kNone;
}

void CQorFileListCtrl::ShowSortMark(int column, SortMark mark) {
    mark_column_ = mark == SortMark::kNone ? -1 : column;
    mark_ = mark;
    if (mark == SortMark::kNone) {
        header()->setSortIndicatorShown(false);
        return;
    }
    // The heading draws Qt::AscendingOrder as the down mark.
    header()->setSortIndicator(column,
                               mark == SortMark::kDown ? Qt::AscendingOrder : Qt::DescendingOrder);
    header()->setSortIndicatorShown(true);
}

void CQorFileListCtrl::SortByColumn(int column) {
    if (column < 0 || column >= kColumnCount) return;
    int next_column = sort_column_;
    bool next_ascending = ascending_;
    if (column != sort_column_) {
        next_column = column;
        next_ascending = true;
    }
    // The main window stops playback and sorts the catalogue; when it
    // refuses (a clip switch is in progress) the rows must stay as they are,
    // or row i would no longer be catalogue row i.
    if (message_target() != nullptr &&
        !SendWindowMessage(message_target(), WM_SORT_CLIPS, next_column, next_ascending ? 1 : 0)) {
        ShowSortMark(mark_column_, mark_);  // undo the heading's own flip
        return;
    }
    sort_column_ = next_column;
    ascending_ = next_ascending;
    SortRows(sort_column_, ascending_);
    ShowSortMark(sort_column_, ascending_ ? SortMark::kDown : SortMark::kUp);
    ascending_ = !ascending_;
}

void CQorFileListCtrl::SortRows(int column, bool ascending) {
    std::vector<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<size_t>(topLevelItemCount()));
    while (topLevelItemCount() > 0) rows.push_back(takeTopLevelItem(0));
    // Stable, so rows with equal keys keep the order the catalogue gave them.
    std::stable_sort(rows.begin(), rows.end(),
                     [column, ascending](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         const int order = QString::compare(SortKey(a, column), SortKey(b, column),
                                                            Qt::CaseSensitive);
                         return ascending ? order < 0 : order > 0;
                     });
    for (QTreeWidgetItem* item : rows) addTopLevelItem(item);
}

QList<QLine> CQorFileListCtrl::CellBorders(const QList<int>& widths, int scroll_x, int header_right,
                                           int top, int bottom) {
    QList<QLine> lines;
    int x = -scroll_x;
    for (int width : widths) {
        const int left = x - 1;
        x += width;
        if (x >= header_right) {
            const int right = header_right - 1;
            lines << QLine(left, top, right, top) << QLine(left, bottom, right, bottom)
                  << QLine(left, top, left, bottom);
            break;
        }
        const int right = x - 1;
        lines << QLine(left, top, right, top) << QLine(right, top, right, bottom)
              << QLine(right, bottom, left, bottom) << QLine(left, bottom, left, top);
    }
    return lines;
}

void CQorFileListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QTreeWidget::drawRow(painter, option, index);
    const QRect row = option.rect;
    if (row.top() + viewport()->y() <= kHeadingBottom) {
        DrawRowMark(painter, row, index);
        return;
    }
    QList<int> widths;
    for (int visual = 0; visual < header()->count(); ++visual) {
        const int logical = header()->logicalIndex(visual);
        if (!header()->isSectionHidden(logical)) widths << header()->sectionSize(logical);
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(kCellBorder, 1));
    painter->drawLines(
        CellBorders(widths, header()->offset(), viewport()->width(), row.top(), row.bottom()));
    painter->restore();
    DrawRowMark(painter, row, index);
}

}  // namespace orvo
