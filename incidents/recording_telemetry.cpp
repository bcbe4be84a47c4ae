#include "incidents/recording_telemetry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace orvo {

namespace {

// Reads size bytes at offset; false (and an empty buffer) when the block
// does not lie inside the file. A short read leaves zeros, like the viewer.
bool ReadBlock(int fd, uint64_t file_length, uint64_t offset, uint32_t size,
               std::vector<uint8_t>* buffer) {
    buffer->clear();
    if (offset > file_length || size > file_length - offset) return false;
    buffer->assign(size, 0);
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, buffer->data() + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

RecordingTelemetry ReadRecordingTelemetry(const std::string& path, const ClipInfo& info,
                                          bool read_gsensor) {
    RecordingTelemetry result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return result;
    result.opened = true;
    struct stat st;
    const uint64_t length = ::fstat(fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    std::vector<uint8_t> buffer;
    if (info.gpsSize != 0) {
        if (ReadBlock(fd, length, info.gpsOffset, info.gpsSize, &buffer)) {
            result.gps = DecodeGpsBlock(buffer);
        } else {
            result.gpsCutOff = true;
        }
    }
    if (read_gsensor && info.gsenSize != 0) {
        if (ReadBlock(fd, length, info.gsenOffset, info.gsenSize, &buffer)) {
            result.gsensor = DecodeGSensorBlock(buffer);
        } else {
            result.gsensorCutOff = true;
        }
    }
    ::close(fd);
    return result;
}

}  // namespace orvo
