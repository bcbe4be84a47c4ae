// Paint cost of the G-sensor strip at the main window's size (1000 x 140)
// for a 3-minute clip with 1 800 samples (10 per second).
#include <cmath>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QImage>

#include "gsensor/gsensor_ctrl.h"

namespace {

constexpr size_t kSamples = 1800;
constexpr double kDurationMs = 180000.0;

// Road noise on all axes, gravity on z and one hard braking at 95 s.
std::vector<orvo::GSensorRecord> MakeClip() {
    std::vector<orvo::GSensorRecord> records(kSamples);
    uint32_t seed = 12345;
    auto noise = [&seed](int amplitude) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(2 * amplitude + 1)) -
               amplitude;
    };
    for (size_t i = 0; i < kSamples; ++i) {
        const double t = static_cast<double>(i) / 10.0;
        int y = static_cast<int>(std::lround(12 * std::sin(t / 7.0))) + noise(4);
        if (i >= 950 && i < 965) y -= 90;
        records[i] = {static_cast<int8_t>(noise(6)), static_cast<int8_t>(y),
                      static_cast<int8_t>(16 + noise(5))};
    }
    return records;
}

void Load(orvo::CGSensorCtrl& ctrl, const std::vector<orvo::GSensorRecord>& clip) {
    ctrl.ClearSamples();
    ctrl.SetGain(4.0, 2.0);
    ctrl.ClearSamples();
    ctrl.SetSamples(clip.data(), clip.size());
    ctrl.SetSamplesPerMs(static_cast<double>(clip.size()) / kDurationMs);
}

// Clip selection followed by a paint: derivation, axes, ticks, curves and
// everything on top.
void BM_SelectClipAndFullPaint(benchmark::State& state) {
    const auto clip = MakeClip();
    orvo::CGSensorCtrl ctrl;
    ctrl.resize(1000, 140);
    ctrl.SetSpeedReadout(true, 87);
    for (auto _ : state) {
        Load(ctrl, clip);
        ctrl.SetCursorTime(90000);
        benchmark::DoNotOptimize(ctrl.RenderFrame().constBits());
    }
}
BENCHMARK(BM_SelectClipAndFullPaint)->Unit(benchmark::kMicrosecond);

// Everything redrawn because the curves' visibility changed (STOP and the
// next time update alternate like this).
void BM_FullPaintCurvesShown(benchmark::State& state) {
    const auto clip = MakeClip();
    orvo::CGSensorCtrl ctrl;
    ctrl.resize(1000, 140);
    Load(ctrl, clip);
    ctrl.SetSpeedReadout(true, 87);
    ctrl.SetCursorTime(90000);
    for (auto _ : state) {
        state.PauseTiming();
        ctrl.SetCurvesHidden(true);
        ctrl.RenderFrame();
        ctrl.SetCurvesHidden(false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(ctrl.RenderFrame().constBits());
    }
}
BENCHMARK(BM_FullPaintCurvesShown)->Unit(benchmark::kMicrosecond);

// A time report: the cursor moves, the legend values and the speed change;
// axes and curves come from the cached layer.
void BM_CursorOnlyUpdate(benchmark::State& state) {
    const auto clip = MakeClip();
    orvo::CGSensorCtrl ctrl;
    ctrl.resize(1000, 140);
    Load(ctrl, clip);
    ctrl.RenderFrame();
    double t = 0;
    unsigned speed = 40;
    for (auto _ : state) {
        t = t >= kDurationMs ? 0 : t + 250;
        speed = speed >= 120 ? 40 : speed + 1;
        ctrl.SetSpeedReadout(true, speed);
        ctrl.SetCursorTime(t);
        benchmark::DoNotOptimize(ctrl.RenderFrame().constBits());
    }
}
BENCHMARK(BM_CursorOnlyUpdate)->Unit(benchmark::kMicrosecond);

// The same through a real paint event and the window's backing store.
void BM_CursorOnlyRepaintShown(benchmark::State& state) {
    const auto clip = MakeClip();
    orvo::CGSensorCtrl ctrl;
    ctrl.resize(1000, 140);
    ctrl.show();
    Load(ctrl, clip);
    ctrl.repaint();
    double t = 0;
    for (auto _ : state) {
        t = t >= kDurationMs ? 0 : t + 250;
        ctrl.SetCursorTime(t);
        ctrl.repaint();
    }
}
BENCHMARK(BM_CursorOnlyRepaintShown)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
