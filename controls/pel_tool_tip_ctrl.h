#pragma once

#include <vector>

#include <QBasicTimer>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

class QEvent;
class QPainter;

namespace orvo {

// One row of the tip table: the control a tip belongs to, its description
// string (0 for none) and its icon bitmap (0 for none).
struct TipTableEntry {
    int control_id = 0;
    int description_id = 0;
    int icon_id = 0;
};

// The main window's styled tooltip: one tip window that serves many tools
// (controls), each with a label text, and a tip table that adds a
// description and a 32 x 32 icon per control id. Tools are remembered so
// that all of them can be removed at once when the texts are rebuilt for
// another language.
//
// Hovering a tool shows this window instead of the plain tooltip; a key or
// button press, leaving the tool or a few seconds' wait hides it.
class CPelToolTipCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CPelToolTipCtrl(QWidget* parent = nullptr);
    ~CPelToolTipCtrl() override;

    // Sets the display parameters for the tools of `parent`. Returns 1.
    int CreateTips(QWidget* parent);

    // Appends `window` to the tools with its label text; the rectangle and
    // tool id of the tooltip API are accepted and not needed here. 1.
    int AddTool(QWidget* window, const QString& text, const QRect& rect = QRect(), int tool_id = 0);
    void DelTool(QWidget* window, int tool_id = 0);
    void RemoveAllTools();
    int tool_count() const { return static_cast<int>(tools_.size()); }
    // The label of a tool; empty when it is not a tool.
    QString ToolText(QWidget* window) const;

    void AddTip(int control_id, int description_id, int icon_id);
    void ClearTips();
    const std::vector<TipTableEntry>& tips() const { return tips_; }

    QSize GetIconSize() const { return QSize(32, 32); }
    // Draws the current control's icon at the top-left of `rect`; false when
    // the control has no tip-table entry or no icon.
    bool OnDrawIcon(QPainter& painter, const QRect& rect);

    // Passes on the input that hides a shown tip (key and button presses
    // and releases); everything else is ignored.
    void RelayToolMessage(const QEvent* event);

    // What hovering a tool does: the tip of `window` near the global point.
    // False when `window` is not a tool or has no text.
    bool ShowTip(QWidget* window, const QPoint& global_pos);
    void HideTip();

    int current_control_id() const { return current_control_id_; }
    const QString& label() const { return label_; }
    const QString& description() const { return description_; }
    int max_description_width() const { return max_description_width_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The tip is about to show for `window`: remember its control id and
    // take its description from the tip table.
    void OnTipShowing(QWidget* window);
    const TipTableEntry* FindTip(int control_id) const;
    QSize ContentSize() const;

    int current_control_id_ = 0;
    std::vector<QPointer<QWidget>> tools_;
    std::vector<TipTableEntry> tips_;
    QHash<QWidget*, QString> texts_;
    QString label_;
    QString description_;
    int max_description_width_ = 200;
    QBasicTimer hide_timer_;
};

}  // namespace orvo
