#include "controls/pel_tool_tip_ctrl.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

#include "app/ui_strings.h"
#include "controls/gdi_plus_bitmap.h"

namespace orvo {

namespace {

constexpr int kMargin = 6;
constexpr int kGap = 6;
// How long a tip stays up without input, as the platform's tooltips do.
constexpr int kAutoHideMs = 5000;
const QColor kBorder(0x76, 0x76, 0x76);
const QColor kFillTop(0xFF, 0xFF, 0xFF);
const QColor kFillBottom(0xE4, 0xE5, 0xF0);
const QColor kText(0x3C, 0x3C, 0x3C);

}  // namespace

CPelToolTipCtrl::CPelToolTipCtrl(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("PelToolTip"));
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    hide();
}

CPelToolTipCtrl::~CPelToolTipCtrl() {
    RemoveAllTools();
}

int CPelToolTipCtrl::CreateTips(QWidget* parent) {
    if (parent != nullptr && parentWidget() != parent) {
        setParent(parent, windowFlags());
        hide();
    }
    // Label in regular weight; the description wraps at 200 pixels.
    QFont label_font = font();
    label_font.setBold(false);
    setFont(label_font);
    max_description_width_ = 200;
    return 1;
}

int CPelToolTipCtrl::AddTool(QWidget* window, const QString& text, const QRect& /*rect*/,
                             int /*tool_id*/) {
    if (window == nullptr) return 0;
    if (!texts_.contains(window)) {
        window->installEventFilter(this);
        // A tool that goes away takes its entries with it, so a later widget
        // at the same address is not mistaken for it.
        connect(window, &QObject::destroyed, this, [this, window] {
            texts_.remove(window);
            if (current_control_id_ != 0 && isVisible()) HideTip();
        });
    }
    tools_.emplace_back(window);
    texts_.insert(window, text);
    return 1;
}

void CPelToolTipCtrl::DelTool(QWidget* window, int /*tool_id*/) {
    auto it = std::find_if(tools_.begin(), tools_.end(),
                           [window](const QPointer<QWidget>& tool) { return tool == window; });
    if (it != tools_.end()) tools_.erase(it);
    const bool still_a_tool =
        std::any_of(tools_.begin(), tools_.end(),
                    [window](const QPointer<QWidget>& tool) { return tool == window; });
    if (window == nullptr || still_a_tool) return;
    if (texts_.remove(window) > 0) {
        window->removeEventFilter(this);
        disconnect(window, &QObject::destroyed, this, nullptr);
    }
}

void CPelToolTipCtrl::RemoveAllTools() {
    const std::vector<QPointer<QWidget>> tools = tools_;
    for (const QPointer<QWidget>& tool : tools) DelTool(tool.data(), 0);
    tools_.clear();
    // Tools destroyed meanwhile left only null pointers behind.
    texts_.clear();
    HideTip();
}

QString CPelToolTipCtrl::ToolText(QWidget* window) const {
    return texts_.value(window);
}

void CPelToolTipCtrl::AddTip(int control_id, int description_id, int icon_id) {
    tips_.push_back(TipTableEntry{control_id, description_id, icon_id});
}

void CPelToolTipCtrl::ClearTips() {
    tips_.clear();
}

const TipTableEntry* CPelToolTipCtrl::FindTip(int control_id) const {
    auto it = std::find_if(tips_.begin(), tips_.end(), [control_id](const TipTableEntry& tip) {
        return tip.control_id == control_id;
    });
    return it != tips_.end() ? &*it : nullptr;
}

bool CPelToolTipCtrl::OnDrawIcon(QPainter& painter, const QRect& rect) {
    const TipTableEntry* tip = FindTip(current_control_id_);
    if (tip == nullptr || tip->icon_id == 0) return false;
    CGdiPlusBitmapResource icon;
    if (!icon.Load(tip->icon_id, "BITMAP")) return false;
    painter.setOpacity(1.0);
    painter.drawImage(rect.topLeft(), icon.image());
    return true;
}

void CPelToolTipCtrl::RelayToolMessage(const QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (isVisible()) HideTip();
            break;
        default:
            break;
    }
}

void CPelToolTipCtrl::OnTipShowing(QWidget* window) {
    // Control ids are the widgets' object names.
    bool ok = false;
    const int id = window->objectName().toInt(&ok);
    current_control_id_ = ok ? id : 0;
    const TipTableEntry* tip = FindTip(current_control_id_);
    description_.clear();
    if (tip != nullptr && tip->description_id != 0) {
        description_ = QString::fromStdString(LoadUiString(tip->description_id));
    }
}

QSize CPelToolTipCtrl::ContentSize() const {
    const QFontMetrics metrics(font());
    const TipTableEntry* tip = FindTip(current_control_id_);
    const bool has_icon = tip != nullptr && tip->icon_id != 0;
    const int icon_width = has_icon ? GetIconSize().width() + kGap : 0;
    int text_width = metrics.horizontalAdvance(label_);
    int text_height = metrics.height();
    if (!description_.isEmpty()) {
        const QRect d = metrics.boundingRect(QRect(0, 0, max_description_width_, 10000),
                                             Qt::TextWordWrap, description_);
        text_width = std::max(text_width, d.width());
        text_height += kGap + d.height();
    }
    const int height = std::max(text_height, has_icon ? GetIconSize().height() : 0);
    return QSize(2 * kMargin + icon_width + text_width, 2 * kMargin + height);
}

bool CPelToolTipCtrl::ShowTip(QWidget* window, const QPoint& global_pos) {
    if (window == nullptr || !texts_.contains(window)) return false;
    const QString text = texts_.value(window);
    if (text.isEmpty()) {
        HideTip();
        return false;
    }
    OnTipShowing(window);
    label_ = text;
    const QSize size = ContentSize();
    QPoint at = global_pos + QPoint(2, 20);
    if (const QScreen* s = window->screen()) {
        const QRect area = s->availableGeometry();
        at.setX(
            std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        if (at.y() + size.height() > area.bottom()) at.setY(global_pos.y() - size.height() - 4);
        at.setY(std::max(at.y(), area.top()));
    }
    setGeometry(QRect(at, size));
    show();
    raise();
    update();
    hide_timer_.start(kAutoHideMs, this);
    return true;
}

void CPelToolTipCtrl::HideTip() {
    hide_timer_.stop();
    hide();
}

bool CPelToolTipCtrl::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window == nullptr || !texts_.contains(window)) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ToolTip:
            // This window replaces the plain tooltip of the tool.
            ShowTip(window, static_cast<QHelpEvent*>(event)->globalPos());
            return true;
        case QEvent::Leave:
        case QEvent::Hide:
        case QEvent::Wheel:
            if (isVisible()) HideTip();
            break;
        default:
            RelayToolMessage(event);
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void CPelToolTipCtrl::timerEvent(QTimerEvent* event) {
    if (event->timerId() == hide_timer_.timerId()) {
        HideTip();
        return;
    }
    QWidget::timerEvent(event);
}

void CPelToolTipCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0.0, kFillTop);
    fill.setColorAt(1.0, kFillBottom);
    painter.fillRect(rect(), fill);
    painter.setPen(kBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    int text_left = kMargin;
    const QRect icon_rect(QPoint(kMargin, kMargin), GetIconSize());
    if (OnDrawIcon(painter, icon_rect)) text_left += GetIconSize().width() + kGap;

    const QFontMetrics metrics(font());
    painter.setPen(kText);
    painter.setFont(font());
    const int content_height = height() - 2 * kMargin;
    int label_top = kMargin;
    if (description_.isEmpty()) label_top += std::max(0, (content_height - metrics.height()) / 2);
    painter.drawText(QRect(text_left, label_top, width() - text_left - kMargin, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, label_);
    if (!description_.isEmpty()) {
        painter.drawText(QRect(text_left, label_top + metrics.height() + kGap,
                               max_description_width_, content_height),
                         Qt::TextWordWrap, description_);
    }
}

}  // namespace orvo
