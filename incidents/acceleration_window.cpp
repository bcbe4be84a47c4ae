#include "incidents/acceleration_window.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#if defined(__SSE2__) || defined(_M_X64)
#define ORVO_HAVE_SSE2 1
#include <emmintrin.h>
#endif
#if defined(ORVO_HAVE_SSE2) && defined(__GNUC__)
// Built for the eight-lane unit whatever the build's target, and chosen at
// run time.
#define ORVO_HAVE_AVX2 1
#include <immintrin.h>
#endif

namespace orvo {

namespace {

// The axis values of a run of samples as floats, one array per axis, so
// that neighbouring samples of one axis fill a vector register. Differences,
// squares and sums of three squares of values in -128..127 stay below 2^24:
// a float holds every step exactly.
struct SampleAxes {
    explicit SampleAxes(std::span<const GSensorRecord> samples)
        : values(std::make_unique_for_overwrite<float[]>(3 * samples.size())) {
        const size_t n = samples.size();
        x = values.get();
        y = x + n;
        z = y + n;
        // A table of the 256 values: a load instead of a conversion.
        static const std::array<float, 256> kValue = [] {
            std::array<float, 256> table{};
            for (int v = -128; v < 128; ++v) table[static_cast<uint8_t>(v)] = static_cast<float>(v);
            return table;
        }();
        for (size_t i = 0; i < n; ++i) {
            x[i] = kValue[static_cast<uint8_t>(samples[i].x)];
            y[i] = kValue[static_cast<uint8_t>(samples[i].y)];
            z[i] = kValue[static_cast<uint8_t>(samples[i].z)];
        }
    }
    float SquaredDistance(size_t a, size_t b) const {
        const float dx = x[a] - x[b];
        const float dy = y[a] - y[b];
        const float dz = z[a] - z[b];
        return dx * dx + dy * dy + dz * dz;
    }

    std::unique_ptr<float[]> values;
    float* x = nullptr;
    float* y = nullptr;
    float* z = nullptr;
};

// largest[i] for the samples [from, to), one sample at a time.
void BackwardChanges(const SampleAxes& axes, size_t window, size_t from, size_t to,
                     float* largest) {
    for (size_t i = from; i < to; ++i) {
        const size_t reach = std::min(window, i);
        float best = 0;
        for (size_t j = 1; j <= reach; ++j) best = std::max(best, axes.SquaredDistance(i, i - j));
        largest[i] = best;
    }
}

#if defined(ORVO_HAVE_SSE2)
// The same for eight samples at a time from sample `from` (at least
// `window`: every sample has a whole window before it), two registers of
// four; returns the first sample left over.
size_t BackwardChangesSse2(const SampleAxes& axes, size_t window, size_t from, size_t count,
                           float* largest) {
    size_t i = from;
    for (; i + 8 <= count; i += 8) {
        const __m128 x0 = _mm_loadu_ps(axes.x + i);
        const __m128 y0 = _mm_loadu_ps(axes.y + i);
        const __m128 z0 = _mm_loadu_ps(axes.z + i);
        const __m128 x1 = _mm_loadu_ps(axes.x + i + 4);
        const __m128 y1 = _mm_loadu_ps(axes.y + i + 4);
        const __m128 z1 = _mm_loadu_ps(axes.z + i + 4);
        __m128 best0 = _mm_setzero_ps();
        __m128 best1 = _mm_setzero_ps();
        for (size_t j = 1; j <= window; ++j) {
            const size_t b = i - j;
            const __m128 dx0 = _mm_sub_ps(x0, _mm_loadu_ps(axes.x + b));
            const __m128 dy0 = _mm_sub_ps(y0, _mm_loadu_ps(axes.y + b));
            const __m128 dz0 = _mm_sub_ps(z0, _mm_loadu_ps(axes.z + b));
            const __m128 dx1 = _mm_sub_ps(x1, _mm_loadu_ps(axes.x + b + 4));
            const __m128 dy1 = _mm_sub_ps(y1, _mm_loadu_ps(axes.y + b + 4));
            const __m128 dz1 = _mm_sub_ps(z1, _mm_loadu_ps(axes.z + b + 4));
            const __m128 d0 = _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx0, dx0), _mm_mul_ps(dy0, dy0)),
                                         _mm_mul_ps(dz0, dz0));
            const __m128 d1 = _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx1, dx1), _mm_mul_ps(dy1, dy1)),
                                         _mm_mul_ps(dz1, dz1));
            best0 = _mm_max_ps(best0, d0);
            best1 = _mm_max_ps(best1, d1);
        }
        _mm_storeu_ps(largest + i, best0);
        _mm_storeu_ps(largest + i + 4, best1);
    }
    return i;
}
#endif

#if defined(ORVO_HAVE_AVX2)
// The same, sixteen samples at a time in two registers of eight.
__attribute__((target("avx2"))) size_t BackwardChangesAvx2(const SampleAxes& axes, size_t window,
                                                           size_t from, size_t count,
                                                           float* largest) {
    size_t i = from;
    for (; i + 16 <= count; i += 16) {
        const __m256 x0 = _mm256_loadu_ps(axes.x + i);
        const __m256 y0 = _mm256_loadu_ps(axes.y + i);
        const __m256 z0 = _mm256_loadu_ps(axes.z + i);
        const __m256 x1 = _mm256_loadu_ps(axes.x + i + 8);
        const __m256 y1 = _mm256_loadu_ps(axes.y + i + 8);
        const __m256 z1 = _mm256_loadu_ps(axes.z + i + 8);
        __m256 best0 = _mm256_setzero_ps();
        __m256 best1 = _mm256_setzero_ps();
        for (size_t j = 1; j <= window; ++j) {
            const size_t b = i - j;
            const __m256 dx0 = _mm256_sub_ps(x0, _mm256_loadu_ps(axes.x + b));
            const __m256 dy0 = _mm256_sub_ps(y0, _mm256_loadu_ps(axes.y + b));
            const __m256 dz0 = _mm256_sub_ps(z0, _mm256_loadu_ps(axes.z + b));
            const __m256 dx1 = _mm256_sub_ps(x1, _mm256_loadu_ps(axes.x + b + 8));
            const __m256 dy1 = _mm256_sub_ps(y1, _mm256_loadu_ps(axes.y + b + 8));
            const __m256 dz1 = _mm256_sub_ps(z1, _mm256_loadu_ps(axes.z + b + 8));
            const __m256 d0 =
                _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx0, dx0), _mm256_mul_ps(dy0, dy0)),
                              _mm256_mul_ps(dz0, dz0));
            const __m256 d1 =
                _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx1, dx1), _mm256_mul_ps(dy1, dy1)),
                              _mm256_mul_ps(dz1, dz1));
            best0 = _mm256_max_ps(best0, d0);
            best1 = _mm256_max_ps(best1, d1);
        }
        _mm256_storeu_ps(largest + i, best0);
        _mm256_storeu_ps(largest + i + 8, best1);
    }
    return i;
}
#endif

}  // namespace

bool CanRun(VectorUnit unit) {
    switch (unit) {
        case VectorUnit::kNone:
            return true;
        case VectorUnit::kSse2:
#if defined(ORVO_HAVE_SSE2)
            return true;
#else
            return false;
#endif
        case VectorUnit::kAvx2:
#if defined(ORVO_HAVE_AVX2)
            return __builtin_cpu_supports("avx2") != 0;
#else
            return false;
#endif
    }
    return false;
}

VectorUnit BestVectorUnit() {
    static const VectorUnit best = CanRun(VectorUnit::kAvx2)   ? VectorUnit::kAvx2
                                   : CanRun(VectorUnit::kSse2) ? VectorUnit::kSse2
                                                               : VectorUnit::kNone;
    return best;
}

std::vector<float> SquaredChangesInWindow(std::span<const GSensorRecord> samples, size_t window,
                                          VectorUnit unit) {
    const size_t n = samples.size();
    std::vector<float> largest(n, 0.0f);
    if (n < 2) return largest;
    window = std::clamp<size_t>(window, 1, n - 1);
    if (!CanRun(unit)) unit = BestVectorUnit();
    const SampleAxes axes(samples);

    // From sample `window` on, every sample has a whole window before it.
    size_t rest = window;
#if defined(ORVO_HAVE_AVX2)
    if (unit == VectorUnit::kAvx2) {
        rest = BackwardChangesAvx2(axes, window, rest, n, largest.data());
    }
#endif
#if defined(ORVO_HAVE_SSE2)
    if (unit != VectorUnit::kNone) {
        rest = BackwardChangesSse2(axes, window, rest, n, largest.data());
    }
#endif
    // The first samples reach back less than a window.
    BackwardChanges(axes, window, 1, window, largest.data());
    BackwardChanges(axes, window, rest, n, largest.data());
    // The first sample looks forward instead.
    for (size_t j = 1; j <= window; ++j) {
        largest[0] = std::max(largest[0], axes.SquaredDistance(0, j));
    }
    return largest;
}

}  // namespace orvo
