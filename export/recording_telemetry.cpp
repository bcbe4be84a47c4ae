#include "export/recording_telemetry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <span>

namespace orvo {

namespace {

std::vector<uint8_t> ReadBlock(int fd, uint64_t file_length, uint64_t offset, uint32_t size) {
    std::vector<uint8_t> block;
    if (size == 0 || offset > file_length || size > file_length - offset) return block;
    block.assign(size, 0);
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, block.data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    block.resize(done);
    return block;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

}  // namespace

bool ReadRecordingTelemetry(const std::string& path, const ClipInfo& info,
                            RecordingTelemetry* telemetry) {
    *telemetry = RecordingTelemetry{};
    telemetry->gps_rate = GpsRate(info);
    telemetry->g_range = GRange(info);
    telemetry->duration_ms = info.durationMs;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    if (fd < 0 && errno == EPERM) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    const uint64_t length = ::fstat(fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    telemetry->gps = DecodeGpsBlock(ReadBlock(fd, length, info.gpsOffset, info.gpsSize));
    telemetry->gsensor = DecodeGSensorBlock(ReadBlock(fd, length, info.gsenOffset, info.gsenSize));
    ::close(fd);
    return true;
}

double GSensorSampleTimeMs(size_t index, size_t count, uint32_t duration_ms) {
    if (count == 0) return 0;
    return static_cast<double>(index) * duration_ms / static_cast<double>(count);
}

std::optional<PeakG> FindPeakG(const RecordingTelemetry& telemetry) {
    const std::vector<GSensorRecord>& samples = telemetry.gsensor;
    if (samples.empty()) return std::nullopt;
    std::vector<double> axis[3];
    for (auto& values : axis) values.reserve(samples.size());
    for (const GSensorRecord& s : samples) {
        axis[0].push_back(GValue(s.x, telemetry.g_range));
        axis[1].push_back(GValue(s.y, telemetry.g_range));
        axis[2].push_back(GValue(s.z, telemetry.g_range));
    }
    const double rest[3] = {Median(axis[0]), Median(axis[1]), Median(axis[2])};
    size_t best = 0;
    double best_g = -1;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double dx = axis[0][i] - rest[0];
        const double dy = axis[1][i] - rest[1];
        const double dz = axis[2][i] - rest[2];
        const double g = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (g > best_g) {
            best_g = g;
            best = i;
        }
    }
    PeakG peak;
    peak.g = best_g;
    peak.time_ms = GSensorSampleTimeMs(best, samples.size(), telemetry.duration_ms);
    const std::optional<size_t> gps_index = GpsSampleIndex(
        static_cast<int64_t>(peak.time_ms), telemetry.gps_rate, telemetry.gps.size());
    if (gps_index) peak.position = PositionOf(telemetry.gps[*gps_index]);
    return peak;
}

}  // namespace orvo
