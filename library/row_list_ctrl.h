#pragma once

#include <QTreeWidget>

namespace orvo {

// Base of the file and group lists: a flat list whose rows the catalogue
// marks (highlighted background) and which sends a private window message
// with the row index, -1 below the last row, on a left double click.
class CQorRowListCtrl : public QTreeWidget {
    Q_OBJECT

public:
    void SetMessageTarget(QObject* target) { target_ = target; }

    bool IsRowMarked(int row) const;

protected:
    CQorRowListCtrl(unsigned double_click_message, QWidget* parent);

    // Rows out of range are ignored.
    void MarkRow(int row, bool marked);
    void ScrollToRow(int row);

    QObject* message_target() const { return target_; }

    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const unsigned double_click_message_;
    QObject* target_ = nullptr;
};

}  // namespace orvo
