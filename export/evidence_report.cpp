#include "export/evidence_report.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include "app/ui_strings.h"
#include "gps/kml_export.h"
#include "library/clip_catalog.h"
#include "library/list_row_text.h"
#include "library/number_text.h"

namespace orvo {

namespace {

constexpr int kDpi = 300;
constexpr double kMm = kDpi / 25.4;
const char kLatinFont[] = "DejaVu Sans";
const char kTextFont[] = "Noto Sans CJK JP";
const char kMonoFont[] = "DejaVu Sans Mono";

const QColor kInk(0x20, 0x20, 0x20);
const QColor kGrid(0xDD, 0xDD, 0xDD);
const QColor kTrack(0x22, 0x55, 0xCC);
const QColor kStart(0x1E, 0x9E, 0x3A);
const QColor kEnd(0xC6, 0x28, 0x28);
const QColor kPeak(0xF0, 0x8C, 0x00);
const QColor kAxisColours[3] = {QColor(0xD3, 0x2F, 0x2F), QColor(0x38, 0x8E, 0x3C),
                                QColor(0x19, 0x76, 0xD2)};

QFont TextFont(double points, bool bold = false) {
    QFont font;
    // Latin text from a Latin face, Japanese from the CJK one.
    font.setFamilies({QString::fromLatin1(kLatinFont), QString::fromLatin1(kTextFont)});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont MonoFont(double points) {
    QFont font(QString::fromLatin1(kMonoFont));
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(points);
    return font;
}

QString LocalTime(int64_t time, const char* format = "%Y-%m-%d %H:%M:%S") {
    return QString::fromStdString(FormatLocalTime(time, format));
}

// A step of 1, 2 or 5 times a power of ten near span / wanted.
double NiceStep(double span, int wanted) {
    if (!(span > 0)) return 1;
    const double raw = span / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (raw <= m * power) return m * power;
    }
    return 10 * power;
}

struct Series {
    QColor colour;
    std::vector<QPointF> points;  // x seconds from the trip's start, y value
};

struct TripData {
    int64_t start = 0;
    int64_t end = 0;
    std::vector<GeoPosition> track;
    std::vector<QPointF> speed;
    Series g[3];
    std::vector<GeoPosition> peaks;
};

TripData CollectTrip(const EvidenceSummary& summary, const std::vector<size_t>& trip) {
    TripData data;
    data.start = summary.items[trip.front()].entry.info.startTime;
    for (int axis = 0; axis < 3; ++axis) data.g[axis].colour = kAxisColours[axis];
    for (const size_t index : trip) {
        const EvidenceItem& item = summary.items[index];
        const RecordingTelemetry& t = item.telemetry;
        const double offset = static_cast<double>(item.entry.info.startTime - data.start);
        data.end = std::max(data.end, item.entry.info.startTime + item.entry.info.lengthSeconds);
        for (size_t i = 0; i < t.gps.size(); ++i) {
            const auto position = PositionOf(t.gps[i]);
            if (!position) continue;
            data.track.push_back(*position);
            data.speed.emplace_back(offset + static_cast<double>(i) / t.gps_rate, t.gps[i].speed);
        }
        for (size_t i = 0; i < t.gsensor.size(); ++i) {
            const double x =
                offset + GSensorSampleTimeMs(i, t.gsensor.size(), t.duration_ms) / 1000;
            const GSensorRecord& s = t.gsensor[i];
            data.g[0].points.emplace_back(x, GValue(s.x, t.g_range));
            data.g[1].points.emplace_back(x, GValue(s.y, t.g_range));
            data.g[2].points.emplace_back(x, GValue(s.z, t.g_range));
        }
        if (item.peak && item.peak->position) data.peaks.push_back(*item.peak->position);
    }
    data.end = std::max(data.end, data.start + 1);
    return data;
}

class CReportPainter {
public:
    CReportPainter(QPainter* painter, int language_index, QRectF page)
        : p_(painter), language_(language_index), page_(page) {}

    QString Ui(int id) const { return QString::fromStdString(LoadUiStringFor(language_, id)); }

    // Draws text at the cursor and moves it down; returns the height used.
    double Line(const QString& text, const QFont& font, const QColor& colour = kInk) {
        p_->setFont(font);
        p_->setPen(colour);
        const QRectF box(page_.left(), y_, page_.width(), page_.height());
        const QRectF used = p_->boundingRect(box, Qt::TextWordWrap, text);
        p_->drawText(box, Qt::TextWordWrap, text);
        y_ += used.height();
        return used.height();
    }

    void Space(double mm) { y_ += mm * kMm; }
    double y() const { return y_; }
    void set_y(double y) { y_ = y; }
    bool Fits(double height) const { return y_ + height <= page_.bottom(); }
    const QRectF& page() const { return page_; }
    QPainter* painter() { return p_; }

    void Track(const QRectF& area, const TripData& trip);
    void Plot(const QRectF& area, const QString& title, const std::vector<const Series*>& series,
              const QStringList& legend, const TripData& trip);

private:
    QPainter* p_;
    int language_;
    QRectF page_;
    double y_ = 0;
};

void CReportPainter::Track(const QRectF& area, const TripData& trip) {
    p_->save();
    p_->setFont(TextFont(8, true));
    p_->setPen(kInk);
    p_->drawText(QPointF(area.left(), area.top() - 1.2 * kMm), Ui(222));
    p_->setPen(QPen(kInk, 0.25 * kMm));
    p_->drawRect(area);
    if (trip.track.empty()) {
        p_->setFont(TextFont(8));
        p_->drawText(area, Qt::AlignCenter, Ui(229));
        p_->restore();
        return;
    }
    // Local plane in metres around the track's first point.
    const double lat0 = trip.track.front().latitude;
    const double lon0 = trip.track.front().longitude;
    const double kx = 111320.0 * std::cos(lat0 * std::numbers::pi / 180.0);
    const double ky = 110540.0;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    std::vector<QPointF> metres;
    for (const GeoPosition& g : trip.track) {
        const QPointF m((g.longitude - lon0) * kx, (g.latitude - lat0) * ky);
        min_x = std::min(min_x, m.x());
        max_x = std::max(max_x, m.x());
        min_y = std::min(min_y, m.y());
        max_y = std::max(max_y, m.y());
        metres.push_back(m);
    }
    const double span = std::max({max_x - min_x, max_y - min_y, 50.0}) * 1.15;
    const QRectF inner = area.adjusted(4 * kMm, 4 * kMm, -4 * kMm, -4 * kMm);
    const double scale = std::min(inner.width(), inner.height()) / span;
    const QPointF centre((min_x + max_x) / 2, (min_y + max_y) / 2);
    auto to_page = [&](const QPointF& m) {
        return QPointF(inner.center().x() + (m.x() - centre.x()) * scale,
                       inner.center().y() - (m.y() - centre.y()) * scale);
    };
    // Grid lines at a round distance.
    const double step = NiceStep(span, 6);
    p_->setClipRect(area);
    p_->setPen(QPen(kGrid, 0.15 * kMm));
    const double half_w = area.width() / 2 / scale;
    const double half_h = area.height() / 2 / scale;
    for (double x = std::floor((centre.x() - half_w) / step) * step; x <= centre.x() + half_w;
         x += step) {
        p_->drawLine(to_page({x, centre.y() - half_h}), to_page({x, centre.y() + half_h}));
    }
    for (double y = std::floor((centre.y() - half_h) / step) * step; y <= centre.y() + half_h;
         y += step) {
        p_->drawLine(to_page({centre.x() - half_w, y}), to_page({centre.x() + half_w, y}));
    }
    QPainterPath path;
    path.moveTo(to_page(metres.front()));
    for (const QPointF& m : metres) path.lineTo(to_page(m));
    p_->setRenderHint(QPainter::Antialiasing);
    p_->setPen(QPen(kTrack, 0.6 * kMm, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p_->drawPath(path);
    const double r = 1.6 * kMm;
    p_->setPen(QPen(Qt::white, 0.3 * kMm));
    p_->setBrush(kStart);
    p_->drawEllipse(to_page(metres.front()), r, r);
    p_->setBrush(kEnd);
    const QPointF end = to_page(metres.back());
    p_->drawRect(QRectF(end.x() - r, end.y() - r, 2 * r, 2 * r));
    p_->setPen(QPen(kPeak, 0.5 * kMm));
    p_->setBrush(Qt::NoBrush);
    for (const GeoPosition& g : trip.peaks) {
        const QPointF m = to_page({(g.longitude - lon0) * kx, (g.latitude - lat0) * ky});
        p_->drawLine(m + QPointF(-r, -r), m + QPointF(r, r));
        p_->drawLine(m + QPointF(-r, r), m + QPointF(r, -r));
    }
    p_->setClipping(false);
    // Scale bar of one grid step, bottom left; legend bottom right.
    const QPointF bar(area.left() + 3 * kMm, area.bottom() - 3 * kMm);
    p_->setPen(QPen(kInk, 0.4 * kMm));
    p_->drawLine(bar, bar + QPointF(step * scale, 0));
    p_->drawLine(bar + QPointF(0, -kMm), bar + QPointF(0, kMm));
    p_->drawLine(bar + QPointF(step * scale, -kMm), bar + QPointF(step * scale, kMm));
    p_->setFont(TextFont(7));
    const QString distance = step >= 1000 ? QString::number(step / 1000) + QStringLiteral(" km")
                                          : QString::number(step) + QStringLiteral(" m");
    p_->drawText(bar + QPointF(0, -1.5 * kMm), distance);
    const QFontMetricsF metrics(p_->font(), p_->device());
    double x = area.right() - 3 * kMm;
    const double y = area.bottom() - 3 * kMm;
    const struct {
        QString text;
        QColor colour;
        int shape;
    } legend[] = {{Ui(226).section(' ', 0, 1), kPeak, 2}, {Ui(123), kEnd, 1}, {Ui(118), kStart, 0}};
    for (const auto& entry : legend) {
        x -= metrics.horizontalAdvance(entry.text);
        p_->setPen(kInk);
        p_->drawText(QPointF(x, y + 0.8 * kMm), entry.text);
        x -= 3 * kMm;
        p_->setPen(Qt::NoPen);
        p_->setBrush(entry.colour);
        if (entry.shape == 0) p_->drawEllipse(QPointF(x + kMm, y), kMm, kMm);
        if (entry.shape == 1) p_->drawRect(QRectF(x, y - kMm, 2 * kMm, 2 * kMm));
        if (entry.shape == 2) {
            p_->setPen(QPen(kPeak, 0.4 * kMm));
            p_->drawLine(QPointF(x, y - kMm), QPointF(x + 2 * kMm, y + kMm));
            p_->drawLine(QPointF(x, y + kMm), QPointF(x + 2 * kMm, y - kMm));
        }
        x -= 3 * kMm;
    }
    p_->restore();
}

void CReportPainter::Plot(const QRectF& area, const QString& title,
                          const std::vector<const Series*>& series, const QStringList& legend,
                          const TripData& trip) {
    p_->save();
    p_->setFont(TextFont(8, true));
    p_->setPen(kInk);
    p_->drawText(QPointF(area.left(), area.top() - 1.2 * kMm), title);
    const QRectF plot = area.adjusted(11 * kMm, 0, 0, -5 * kMm);
    double low = 0;
    double high = 0;
    bool any = false;
    for (const Series* s : series) {
        for (const QPointF& point : s->points) {
            low = any ? std::min(low, point.y()) : point.y();
            high = any ? std::max(high, point.y()) : point.y();
            any = true;
        }
    }
    if (!any || high - low < 1e-9) {
        low = any ? low - 1 : 0;
        high = any ? high + 1 : 1;
    }
    const double y_step = NiceStep(high - low, 4);
    low = std::floor(low / y_step) * y_step;
    high = std::ceil(high / y_step) * y_step;
    const double seconds = static_cast<double>(trip.end - trip.start);
    auto to_page = [&](const QPointF& v) {
        return QPointF(plot.left() + v.x() / seconds * plot.width(),
                       plot.bottom() - (v.y() - low) / (high - low) * plot.height());
    };
    p_->setFont(TextFont(6.5));
    const QFontMetricsF metrics(p_->font(), p_->device());
    for (double v = low; v <= high + y_step / 2; v += y_step) {
        const double y = to_page({0, v}).y();
        p_->setPen(QPen(kGrid, 0.15 * kMm));
        p_->drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p_->setPen(kInk);
        const QString label = QString::number(v, 'g', 4);
        p_->drawText(QPointF(plot.left() - 1.5 * kMm - metrics.horizontalAdvance(label),
                             y + metrics.ascent() / 3),
                     label);
    }
    const double x_step = NiceStep(seconds, 6);
    for (double t = 0; t <= seconds + 0.01; t += x_step) {
        const double x = to_page({t, low}).x();
        p_->setPen(QPen(kGrid, 0.15 * kMm));
        p_->drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        p_->setPen(kInk);
        const QString label = LocalTime(trip.start + static_cast<int64_t>(t), "%H:%M:%S");
        p_->drawText(QPointF(x - metrics.horizontalAdvance(label) / 2,
                             plot.bottom() + 1.2 * kMm + metrics.ascent()),
                     label);
    }
    p_->setPen(QPen(kInk, 0.25 * kMm));
    p_->drawRect(plot);
    p_->setRenderHint(QPainter::Antialiasing);
    p_->setClipRect(plot);
    for (const Series* s : series) {
        if (s->points.empty()) continue;
        QPainterPath path;
        path.moveTo(to_page(s->points.front()));
        for (const QPointF& point : s->points) path.lineTo(to_page(point));
        p_->setPen(QPen(s->colour, 0.35 * kMm, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_->drawPath(path);
    }
    p_->setClipping(false);
    double x = plot.right();
    for (int i = static_cast<int>(legend.size()) - 1; i >= 0; --i) {
        x -= metrics.horizontalAdvance(legend[i]);
        p_->setPen(series[static_cast<size_t>(i)]->colour);
        p_->drawText(QPointF(x, plot.top() - 1.2 * kMm), legend[i]);
        x -= 3 * kMm;
    }
    p_->restore();
}

QString SizeText(uint64_t bytes) {
    return QString::number(static_cast<double>(bytes) / (1 << 20), 'f', 1) + QStringLiteral(" MB");
}

QString LengthText(const ClipInfo& info) {
    const int64_t s = info.durationMs / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

void DrawRecordings(CReportPainter& r, QPdfWriter& writer, const EvidenceSummary& summary,
                    const std::vector<size_t>& trip) {
    QPainter* p = r.painter();
    const double widths[] = {36, 14, 22, 14, 20};  // mm; the name takes the rest
    const int headings[] = {118, 119, 152, 225, 120, 122};
    auto row = [&](const QStringList& cells, const QFont& font) {
        p->setFont(font);
        p->setPen(kInk);
        double x = r.page().left();
        for (int i = 0; i < cells.size(); ++i) {
            p->drawText(QPointF(x, r.y() + QFontMetricsF(font, p->device()).ascent()), cells[i]);
            if (i < 5) x += widths[i] * kMm;
        }
        r.set_y(r.y() + QFontMetricsF(font, p->device()).height());
    };
    QStringList head;
    for (const int id : headings) head << r.Ui(id);
    row(head, TextFont(7.5, true));
    p->setPen(QPen(kInk, 0.2 * kMm));
    p->drawLine(QPointF(r.page().left(), r.y()), QPointF(r.page().right(), r.y()));
    r.Space(0.8);
    for (const size_t index : trip) {
        const EvidenceItem& item = summary.items[index];
        if (!r.Fits(12 * kMm)) {
            writer.newPage();
            r.set_y(r.page().top());
        }
        const ClipInfo& info = item.entry.info;
        row({LocalTime(info.startTime), LengthText(info),
             r.Ui(FileTypeStringId(item.entry.fileName)),
             (item.entry.flags & kClipLocked) != 0 ? QStringLiteral("\u2713") : QStringLiteral("-"),
             SizeText(item.size), QString::fromStdString(item.copy_path)},
            TextFont(7.5));
        row({QStringLiteral("SHA-256 ") + QString::fromStdString(item.sha256)}, MonoFont(6.5));
        r.Space(0.8);
    }
}

void DrawPeaks(CReportPainter& r, const EvidenceSummary& summary, const std::vector<size_t>& trip) {
    r.Space(2);
    for (const size_t index : trip) {
        const EvidenceItem& item = summary.items[index];
        QString text = QString::fromStdString(item.entry.fileName) + QStringLiteral(": ");
        if (!item.peak) {
            text += QStringLiteral("-");
        } else {
            const QString where = item.peak->position
                                      ? QStringLiteral("%1, %2")
                                            .arg(item.peak->position->latitude, 0, 'f', 5)
                                            .arg(item.peak->position->longitude, 0, 'f', 5)
                                      : r.Ui(229);
            const int64_t at = item.entry.info.startTime +
                               static_cast<int64_t>(std::floor(item.peak->time_ms / 1000));
            text +=
                r.Ui(226).arg(item.peak->g, 0, 'f', 2).arg(LocalTime(at, "%H:%M:%S")).arg(where);
        }
        r.Line(text, TextFont(7.5));
    }
}

void DrawProblems(CReportPainter& r, const EvidenceSummary& summary) {
    QStringList missing;
    for (const EvidenceItem& item : summary.items) {
        if (!item.copied) missing << QString::fromStdString(item.entry.fileName);
    }
    if (!missing.isEmpty())
        r.Line(r.Ui(228).arg(missing.join(QStringLiteral(", "))), TextFont(8.5, true), kEnd);
    for (const std::string& problem : summary.problems) {
        r.Line(QString::fromStdString(problem), TextFont(7), kEnd);
    }
}

void DrawTripPage(CReportPainter& r, QPdfWriter& writer, const EvidenceSummary& summary,
                  size_t trip_index) {
    const std::vector<size_t>& trip = summary.trips[trip_index];
    const TripData data = CollectTrip(summary, trip);
    r.set_y(r.page().top());
    r.Line(r.Ui(220), TextFont(15, true));
    r.Line(r.Ui(221).arg(trip_index + 1).arg(summary.trips.size()) + QStringLiteral("   ") +
               LocalTime(data.start) + QStringLiteral(" \u2013 ") + LocalTime(data.end, "%H:%M:%S"),
           TextFont(10));
    DrawProblems(r, summary);
    r.Space(5);
    const QRectF page = r.page();
    const double top = r.y();
    const double side = 80 * kMm;
    r.Track(QRectF(page.left(), top, side, side), data);
    const double plots_left = page.left() + side + 6 * kMm;
    const QRectF speed_area(plots_left, top, page.right() - plots_left, side * 0.42);
    const Series speed{kTrack, data.speed};
    r.Plot(speed_area, r.Ui(223), {&speed}, {QStringLiteral("km/h")}, data);
    const QRectF g_area(plots_left, top + side * 0.56, page.right() - plots_left, side * 0.44);
    r.Plot(g_area, r.Ui(224), {&data.g[0], &data.g[1], &data.g[2]},
           {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")}, data);
    r.set_y(top + side + 8 * kMm);
    DrawRecordings(r, writer, summary, trip);
    DrawPeaks(r, summary, trip);
}

}  // namespace

bool CEvidenceReport::Render(const EvidenceSummary& summary, std::string* pdf) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(14, 14, 14, 14), QPageLayout::Millimeter));
        writer.setTitle(QString::fromStdString(LoadUiStringFor(language_index_, 220)));
        writer.setCreator(QStringLiteral("Orvo Player"));
        QPainter painter;
        if (!painter.begin(&writer)) return false;
        CReportPainter r(&painter, language_index_, QRectF(0, 0, writer.width(), writer.height()));
        if (summary.trips.empty()) {
            r.Line(r.Ui(220), TextFont(15, true));
            DrawProblems(r, summary);
        }
        for (size_t t = 0; t < summary.trips.size(); ++t) {
            if (t > 0) writer.newPage();
            DrawTripPage(r, writer, summary, t);
        }
        r.Space(4);
        if (!r.Fits(10 * kMm)) {
            writer.newPage();
            r.set_y(r.page().top());
        }
        r.Line(r.Ui(227).arg(QString::fromLatin1(kEvidenceSumsName)), TextFont(8.5, true));
        painter.end();
    }
    const QByteArray bytes = buffer.data();
    pdf->assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

}  // namespace orvo
