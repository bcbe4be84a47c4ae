#include "tools/demo_drive.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace orvo::demo {

namespace {

struct LatLon {
    double lat;
    double lon;
};

// Hibiya-dori from Onarimon north past Uchisaiwaicho to the Hibiya
// crossing, then Harumi-dori east through Sukiyabashi to Ginza.
constexpr LatLon kRoute[] = {
    {35.6605, 139.7517},  // Onarimon
    {35.6640, 139.7528},  // Atago / Nishi-Shimbashi 3
    {35.6668, 139.7539},  // Nishi-Shimbashi 1
    {35.6697, 139.7553},  // Uchisaiwaicho
    {35.6722, 139.7570},  // Hibiya Park, south-east corner
    {35.6741, 139.7590},  // Hibiya crossing: turn into Harumi-dori
    {35.6728, 139.7618},  // Sukiyabashi
    {35.6717, 139.7649},  // Ginza 4-chome
    {35.6700, 139.7677},  // Higashi-Ginza
};
constexpr double kMetresPerDegreeLat = 110950.0;
const double kMetresPerDegreeLon = 111320.0 * std::cos(35.667 * std::numbers::pi / 180.0);

struct SpeedKey {
    double t;    // seconds into the drive
    double kmh;  // speed at t; linear in between
};

// Drive 0 (10:15:00-10:17:00): away from a standstill, a slow stretch, the
// hard braking at 84-86.5 s (inside the event recording), on again.
constexpr SpeedKey kDrive0[] = {
    {0, 0},   {6, 30},  {14, 45},  {24, 48}, {30, 35}, {34, 35},  {42, 50},  {58, 50},
    {66, 40}, {84, 45}, {86.5, 0}, {90, 0},  {96, 25}, {106, 40}, {114, 40}, {120, 32},
};
// Drive 1 (10:30:00-10:31:10), after a stop: slowly through the Hibiya
// crossing (reached at about 45 s) and on along Harumi-dori.
constexpr SpeedKey kDrive1[] = {
    {0, 0}, {7, 32}, {16, 42}, {26, 45}, {34, 40}, {40, 18}, {46, 16}, {52, 28}, {62, 40}, {70, 36},
};

template <size_t N>
double SpeedAt(const SpeedKey (&keys)[N], double t) {
    if (t <= keys[0].t) return keys[0].kmh / 3.6;
    for (size_t i = 1; i < N; ++i) {
        if (t <= keys[i].t) {
            const double f = (t - keys[i - 1].t) / (keys[i].t - keys[i - 1].t);
            return (keys[i - 1].kmh + f * (keys[i].kmh - keys[i - 1].kmh)) / 3.6;
        }
    }
    return keys[N - 1].kmh / 3.6;
}

double SpeedMs(int drive, double t) {
    return drive == 0 ? SpeedAt(kDrive0, t) : SpeedAt(kDrive1, t);
}

// Distance driven since the start of the drive (trapezoids of 10 ms).
double DistanceAt(int drive, double t) {
    constexpr double kStep = 0.01;
    double s = 0;
    for (double u = 0; u < t; u += kStep) {
        const double h = std::min(kStep, t - u);
        s += 0.5 * (SpeedMs(drive, u) + SpeedMs(drive, u + h)) * h;
    }
    return s;
}

struct Point {
    double x;  // metres east of the first route point
    double y;  // metres north
};

Point ToMetres(const LatLon& p) {
    return {(p.lon - kRoute[0].lon) * kMetresPerDegreeLon,
            (p.lat - kRoute[0].lat) * kMetresPerDegreeLat};
}

// Position along the route at distance s (clamped to its ends).
Point PointAt(double s) {
    constexpr size_t n = std::size(kRoute);
    s = std::max(0.0, s);
    for (size_t i = 1; i < n; ++i) {
        const Point a = ToMetres(kRoute[i - 1]);
        const Point b = ToMetres(kRoute[i]);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (s <= length || i == n - 1) {
            const double f = std::min(1.0, s / length);
            return {a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)};
        }
        s -= length;
    }
    return ToMetres(kRoute[n - 1]);
}

// Course over ground in degrees (0 = north, clockwise), from the chord of
// the route 12 m behind to 12 m ahead, so corners are driven as curves.
double CourseAt(double s) {
    const Point a = PointAt(s - 12.0);
    const Point b = PointAt(s + 12.0);
    double course = std::atan2(b.x - a.x, b.y - a.y) * 180.0 / std::numbers::pi;
    if (course < 0) course += 360.0;
    return course;
}

double NmeaFromDegrees(double degrees) {
    const double whole = std::trunc(degrees);
    return whole * 100.0 + (degrees - whole) * 60.0;
}

// Small deterministic jitter, -1..1 counts.
class Jitter {
public:
    explicit Jitter(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    int Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 16) % 3) - 1;
    }

private:
    uint32_t state_;
};

int8_t Counts(double g) {
    const double counts = std::round(g * 128.0 / kDemoGRange);
    return static_cast<int8_t>(std::clamp(counts, -128.0, 127.0));
}

}  // namespace

std::vector<DemoClip> DemoClips() {
    // Names: 4-character prefix, yymmdd, "_", hhmmss.
    return {
        {"DCIM/MOVIE", "FILE240518_101500.MOV", 10, 15, 0, 25, 0, 0, true, 0},
        {"DCIM/MOVIE", "FILE240518_101525.MOV", 10, 15, 25, 25, 0, 25, false, 0},
        {"DCIM/MOVIE", "FILG240518_101550.MOV", 10, 15, 50, 25, 0, 50, true, 0},
        {"DCIM/EVENT", "EMER240518_101615.MOV", 10, 16, 15, 20, 0, 75, true, 0},
        {"DCIM/MOVIE", "FILE240518_101635.AVI", 10, 16, 35, 25, 0, 95, false, 0},
        {"DCIM/MOVIE", "FILE240518_103000.MOV", 10, 30, 0, 25, 1, 0, true, 15},
        {"DCIM/MOVIE", "FILE240518_103025.MOV", 10, 30, 25, 25, 1, 25, false, 0},
        {"DCIM/EVENT", "MANU240518_103050.MOV", 10, 30, 50, 20, 1, 50, true, 0},
    };
}

DemoTelemetry MakeDemoTelemetry(const DemoClip& clip) {
    DemoTelemetry out;
    // The second drive starts where the first one parked.
    const double drive_start = clip.drive == 0 ? 0.0 : DistanceAt(0, 120.0);
    const int start_of_day = clip.hour * 3600 + clip.minute * 60 + clip.second;

    const size_t gps_count = static_cast<size_t>(clip.duration_s) * kDemoGpsRate;
    double s = drive_start + DistanceAt(clip.drive, clip.drive_offset_s);
    double t_prev = clip.drive_offset_s;
    for (size_t i = 0; i < gps_count; ++i) {
        const double t = clip.drive_offset_s + static_cast<double>(i) / kDemoGpsRate;
        // Advance the distance by the trapezoid since the previous record.
        s += 0.5 * (SpeedMs(clip.drive, t_prev) + SpeedMs(clip.drive, t)) * (t - t_prev);
        t_prev = t;
        GpsRecord r;
        if (i >= clip.leading_no_fix) {
            const Point p = PointAt(s);
            const double lat = kRoute[0].lat + p.y / kMetresPerDegreeLat;
            const double lon = kRoute[0].lon + p.x / kMetresPerDegreeLon;
            r.latitude = NmeaFromDegrees(lat);
            r.longitude = NmeaFromDegrees(lon);
            r.altitude = 12 + static_cast<int32_t>(s / 400.0);
            r.speed = static_cast<uint16_t>(std::lround(SpeedMs(clip.drive, t) * 3.6));
            r.heading = static_cast<uint8_t>(std::lround(CourseAt(s) / 2.0) % 180);
            r.flags = 1;
            const int second_of_day = start_of_day + static_cast<int>(i / kDemoGpsRate);
            r.year = static_cast<uint8_t>(kDemoYear - 2000);
            r.month = kDemoMonth;
            r.day = kDemoDay;
            r.hour = static_cast<uint8_t>(second_of_day / 3600);
            r.minute = static_cast<uint8_t>(second_of_day / 60 % 60);
            r.second = static_cast<uint8_t>(second_of_day % 60);
        }
        out.gps.push_back(r);
    }

    // Axes: x left/right, y up/down (gravity), z forward/backward.
    Jitter jitter(static_cast<uint32_t>(start_of_day));
    const size_t g_count = static_cast<size_t>(clip.duration_s) * kDemoGSensorRate;
    const double dt = 1.0 / kDemoGSensorRate;
    for (size_t i = 0; i < g_count; ++i) {
        const double t = clip.drive_offset_s + static_cast<double>(i) * dt;
        const double v = SpeedMs(clip.drive, t);
        const double along =
            (SpeedMs(clip.drive, t + dt / 2) - SpeedMs(clip.drive, t - dt / 2)) / dt;
        const double here = drive_start + DistanceAt(clip.drive, t);
        double turn = CourseAt(here + v * dt / 2) - CourseAt(here - v * dt / 2);
        if (turn > 180) turn -= 360;
        if (turn < -180) turn += 360;
        const double yaw_rate = v > 0.1 ? turn * std::numbers::pi / 180.0 / dt : 0.0;
        double forward_g = along / 9.81;
        // The jolt at the start of the hard braking.
        if (clip.drive == 0 && t >= 84.0 && t < 84.4) forward_g -= 0.9;
        GSensorRecord g;
        g.x = Counts(v * yaw_rate / 9.81 + jitter.Next() / 16.0);
        g.y = Counts(1.0 + jitter.Next() / 16.0);
        g.z = Counts(forward_g + jitter.Next() / 16.0);
        out.gsensor.push_back(g);
    }
    return out;
}

}  // namespace orvo::demo
