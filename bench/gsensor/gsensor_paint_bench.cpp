// Paint cost of the G-sensor strip at the main window's size (1000 x 140)
// for a 3-minute clip with 1 800 samples (10 per second).
#include <cmath>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QImage>
#include <QTest>

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

// Nothing cached: a width change (the pane splitter) invalidates the curve
// layer and the readout, so every step of the paint runs.
void BM_FullPaintAfterResize(benchmark::State& state) {
    const auto clip = MakeClip();
    orvo::CGSensorCtrl ctrl;
    ctrl.resize(1000, 140);
    Load(ctrl, clip);
    ctrl.SetSpeedReadout(true, 87);
    ctrl.SetCursorTime(90000);
    int width = 1000;
    for (auto _ : state) {
        width = width == 1000 ? 999 : 1000;
        ctrl.resize(width, 140);
        benchmark::DoNotOptimize(ctrl.RenderFrame().constBits());
    }
}
BENCHMARK(BM_FullPaintAfterResize)->Unit(benchmark::kMicrosecond);

// A time report within one GPS sample: the cursor moves and the legend
// values change; axes, curves and the readout come from their caches.
void BM_CursorOnlyUpdate(benchmark::State& state) {
    const auto clip = MakeClip();
    orvo::CGSensorCtrl ctrl;
    ctrl.resize(1000, 140);
    Load(ctrl, clip);
    ctrl.SetSpeedReadout(true, 87);
    ctrl.RenderFrame();
    double t = 0;
    for (auto _ : state) {
        t = t >= kDurationMs ? 0 : t + 250;
        ctrl.SetCursorTime(t);
        benchmark::DoNotOptimize(ctrl.RenderFrame().constBits());
    }
}
BENCHMARK(BM_CursorOnlyUpdate)->Unit(benchmark::kMicrosecond);

// A time report that also brings a new speed, so the readout is redrawn.
void BM_CursorAndSpeedUpdate(benchmark::State& state) {
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
BENCHMARK(BM_CursorAndSpeedUpdate)->Unit(benchmark::kMicrosecond);

// The same through a real paint event and the window's backing store.
void BM_CursorOnlyRepaintShown(benchmark::State& state) {
    const auto clip = MakeClip();
    orvo::CGSensorCtrl ctrl;
    ctrl.resize(1000, 140);
    ctrl.show();
    if (!QTest::qWaitForWindowExposed(&ctrl)) {
        state.SkipWithError("window not exposed");
        return;
    }
    Load(ctrl, clip);
    ctrl.SetSpeedReadout(true, 87);
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
