#pragma once

#include <QTreeWidget>

namespace orvo {

// Base of the file and group lists: a flat list whose rows the catalogue
// marks as the playing one and which sends a private window message with
// the row index, -1 below the last row, on a left double click. The mark is
// bold text on a dark green row with a bright bar at its left edge, so it
// never looks like the selection, which keeps the style's own highlight.
class CQorRowListCtrl : public QTreeWidget {
    Q_OBJECT

public:
    void SetMessageTarget(QObject* target) { target_ = target; }

    bool IsRowMarked(int row) const;

    // Colours of the playing row's mark.
    static QColor MarkBackground();
    static QColor MarkBar();
    static constexpr int kMarkBarWidth = 3;

protected:
    CQorRowListCtrl(unsigned double_click_message, QWidget* parent);

    // Rows out of range are ignored.
    void MarkRow(int row, bool marked);
    void ScrollToRow(int row);

    QObject* message_target() const { return target_; }

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    // The bar at the left edge of a marked row, drawn over the row.
    void DrawRowMark(QPainter* painter, const QRect& row, const QModelIndex& index) const;

private:
    const unsigned double_click_message_;
    QObject* target_ = nullptr;
};

}  // namespace orvo
