#pragma once

#include <QString>
#include <QWidget>

namespace orvo {

// The GPS speed of the current moment in km/h or MPH; a click switches the
// unit (not saved).
class CSpeedLabelStatic : public QWidget {
    Q_OBJECT

public:
    explicit CSpeedLabelStatic(QWidget* parent = nullptr);

    // Repaints only when the pair changes.
    void SetSpeed(bool valid, unsigned speed_kmh);
    void ToggleUnit();

    const QString& speed_text() const { return speed_text_; }
    const QString& unit_text() const { return unit_text_; }
    bool metric() const { return metric_; }
    bool valid() const { return valid_; }
    unsigned speed() const { return speed_; }
    int repaint_requests() const { return repaint_requests_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void FormatTexts();
    void Repaint();

    QString speed_text_;
    bool metric_ = true;
    bool valid_ = true;
    unsigned speed_ = 0;
    QString unit_text_;
    int repaint_requests_ = 0;
};

}  // namespace orvo
